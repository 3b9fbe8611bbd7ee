// The daemon's storm watch: after each stored bucket it asks the watch about
// the recorder's last hours, keeps the watch's state in the system keys and
// launches the alert program when the watch warns. The alert program itself
// refuses to show anything while the user has pressure alerts switched off.
#pragma once

#include <string>

#include "RecorderStore.h"
#include "StormWatch.h"

class StormLauncher {
  public:
    StormLauncher(ostra::RecorderStore* store, std::string alertAppId);
    // Decides at `now` (seconds since the epoch) from what the recorder holds.
    void check(long long now);

  private:
    void _launch(double drop);

    ostra::RecorderStore* _store;
    std::string _alertAppId;
    ostra::StormWatch _watch;
};
