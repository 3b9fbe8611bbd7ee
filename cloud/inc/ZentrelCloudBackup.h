// The backup side of a cloud session: announce the one record, fill it with
// the settings, hand the backup file over, clean up at the end.
#pragma once

#include <ostra/korvane_cloud.h>

class ZentrelCloudBackup {
  public:
    // The record's key in every backup.
    static constexpr const char* RECORD_KEY = "ZENTREL_DATA_01";

    static void preparationCb(void* data);
    static void keysAndDatesCb(void* data);
    static void backupCb(korvane_cloud_list_h list, void* data);
    static void completedCb(bool success, void* data);

  private:
    static void _sendNoBackup();
    static void _fillFirstRecord(korvane_cloud_list_h list);
    static void _writeBackupFile(korvane_cloud_list_h list, void* data);
};
