// The backup service's entry points: the service life cycle and the launch
// dispatcher that picks the backup, restore or backup-information sequence.
#pragma once

#include <ostra/app_control.h>
#include <ostra/korvane_cloud.h>

#include <string>

enum {
    KORVANE_CLOUD_OPERATION_NONE = 0,
    KORVANE_CLOUD_OPERATION_BACKUP = 1,
    KORVANE_CLOUD_OPERATION_RESTORE = 2,
    KORVANE_CLOUD_OPERATION_GETINFO = 3,
};

// Program state, passed as user data to every callback.
struct _appData {
    int operation = KORVANE_CLOUD_OPERATION_NONE;
    std::string backupFilePath;
    std::string restoreFilePath;
};

class ZentrelCloud {
  public:
    // Runs the service until a sequence ends; the process exit status.
    static int run(int argc, char* argv[], _appData* ad);

    // The operation code of a launch operation (prefix match on each URI).
    static int operationCode(const char* operation);
    // Current time in milliseconds since the epoch, as decimal text.
    static std::string currentTimeMillisText();
    // The shared trusted directory plus name; empty without the directory.
    static std::string sharedTrustedFile(const char* name);

  private:
    static bool _createCb(void* data);
    static void _terminateCb(void* data);
    static void _appControlCb(app_control_h appControl, void* data);
    static bool _readOperation(app_control_h appControl, _appData* ad);
    static bool _startBackup(app_control_h appControl, _appData* ad, app_control_h* reply);
    static bool _startRestore(app_control_h appControl, _appData* ad, app_control_h* reply);
    static bool _startGetInfo(app_control_h appControl, _appData* ad, app_control_h* reply);
    static bool _replySucceeded(app_control_h appControl, app_control_h* reply);
    static void _replyFailed(app_control_h appControl, app_control_h reply);
};
