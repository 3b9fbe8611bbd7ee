// Finding, starting and stopping the recorder daemon ostra-sensord. One
// instance runs per OSTRA_ROOT; it holds a write lock on its lock file for as
// long as it lives, so the lock owner is the running daemon.
#pragma once

#include <string>

namespace ostra {

class SensordControl {
  public:
    // $OSTRA_SENSORD, else the daemon of the build tree.
    static std::string daemonPath();
    // $OSTRA_ROOT/system/ostra-sensord.lock
    static std::string lockPath();
    // $OSTRA_ROOT/system/ostra-sensord.log, the daemon's standard output and error.
    static std::string logPath();
    // The pid of the running daemon, 0 when none runs.
    static int runningPid();
    // Takes the lock for the calling process; -1 when another process holds it.
    // The descriptor stays open for as long as the lock is to be held.
    static int acquireLock();
    // Starts the daemon detached from the caller and waits until it holds the lock.
    static bool start(int retentionHours);
    // Asks the running daemon to finish and waits until it has.
    static bool stop();
};

}  // namespace ostra
