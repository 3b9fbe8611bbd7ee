// The restore side of a cloud session: name the restore file, apply the
// record the service wrote there, confirm it, clean up at the end.
#pragma once

#include <ostra/korvane_cloud.h>

class ZentrelCloudRestore {
  public:
    static void preparationCb(void* data);
    static void restorationPathCb(void* data);
    static void restorationCb(const char* path, void* data);
    static void completedCb(bool success, void* data);

  private:
    static void _sendNothingRestored(korvane_cloud_list_h list);
};
