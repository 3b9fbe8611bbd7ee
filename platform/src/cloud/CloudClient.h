// The program's side of a cloud backup session: the connection to the
// service and the callbacks its requests are handed to.
#pragma once

#include <json-glib/json-glib.h>

#include <memory>
#include <string>

#include "CloudChannel.h"
#include "ostra/korvane_cloud.h"

namespace ostra {

class CloudClient {
  public:
    template <typename Fn>
    struct Callback {
        Fn fn = nullptr;
        void* data = nullptr;
    };

    struct BackupCallbacks {
        Callback<korvane_cloud_backup_preparation_cb> preparation;
        Callback<korvane_cloud_backup_sending_keys_and_dates_cb> keysAndDates;
        Callback<korvane_cloud_backup_cb> backup;
        Callback<korvane_cloud_backup_completed_cb> completed;
    };

    struct RestoreCallbacks {
        Callback<korvane_cloud_restore_preparation_cb> preparation;
        Callback<korvane_cloud_restore_sending_restoration_path_cb> restorationPath;
        Callback<korvane_cloud_restore_restoration_cb> restoration;
        Callback<korvane_cloud_restore_completed_cb> completed;
    };

    static CloudClient& instance();

    int initialize();
    int deinitialize();
    bool isConnected() const { return _channel && _channel->isOpen(); }

    BackupCallbacks& backup() { return _backup; }
    RestoreCallbacks& restore() { return _restore; }

    // Sends one message to the service; takes body over (may be null).
    int send(const char* type, JsonObject* body = nullptr);

  private:
    enum class Side { Unknown, Backup, Restore };

    CloudClient() = default;
    void _onMessage(JsonObject* message);
    bool _dispatchBackup(const std::string& type, JsonObject* message);
    bool _dispatchRestore(const std::string& type, JsonObject* message);
    void _onClosed();

    std::shared_ptr<CloudChannel> _channel;
    BackupCallbacks _backup;
    RestoreCallbacks _restore;
    Side _side = Side::Unknown;
    bool _completed = false;
};

}  // namespace ostra
