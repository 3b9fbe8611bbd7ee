#include "CloudClient.h"

#include <unistd.h>

#include <cstdlib>

#include "CloudRecordList.h"
#include "PlatformLog.h"
#include "ostra/app_common.h"

namespace ostra {

namespace {

bool successOf(JsonObject* message) {
    return json_object_get_boolean_member_with_default(message, "success", FALSE);
}

}  // namespace

CloudClient& CloudClient::instance() {
    static CloudClient client;
    return client;
}

int CloudClient::initialize() {
    if (isConnected()) {
        return KORVANE_CLOUD_ERROR_NONE;
    }
    _channel = CloudChannel::connectToService();
    if (!_channel) {
        OSTRA_LOGW("cloud: no backup service listens on %s", CloudChannel::servicePath().c_str());
        return KORVANE_CLOUD_ERROR_SERVICE_UNAVAILABLE;
    }
    _side = Side::Unknown;
    _completed = false;
    _channel->start([this](JsonObject* message) { _onMessage(message); }, [this] { _onClosed(); });
    char* appId = nullptr;
    app_get_id(&appId);
    JsonObject* hello = json_object_new();
    json_object_set_string_member(hello, "app_id", appId ? appId : "");
    json_object_set_int_member(hello, "pid", getpid());
    free(appId);
    return send("hello", hello);
}

int CloudClient::deinitialize() {
    if (!_channel) {
        return KORVANE_CLOUD_ERROR_NOT_INITIALIZED;
    }
    _channel->close();
    _channel.reset();
    _backup = BackupCallbacks();
    _restore = RestoreCallbacks();
    return KORVANE_CLOUD_ERROR_NONE;
}

int CloudClient::send(const char* type, JsonObject* body) {
    if (!isConnected()) {
        if (body) {
            json_object_unref(body);
        }
        return KORVANE_CLOUD_ERROR_NOT_INITIALIZED;
    }
    return _channel->send(type, body) ? KORVANE_CLOUD_ERROR_NONE : KORVANE_CLOUD_ERROR_IO_ERROR;
}

void CloudClient::_onMessage(JsonObject* message) {
    std::string type = json_object_get_string_member_with_default(message, "msg", "");
    OSTRA_LOGD("cloud: service asks for %s", type.c_str());
    if (_dispatchBackup(type, message) || _dispatchRestore(type, message)) {
        return;
    }
    OSTRA_LOGW("cloud: request \"%s\" has no callback; it stays unanswered", type.c_str());
}

bool CloudClient::_dispatchBackup(const std::string& type, JsonObject* message) {
    if (type == "backup_preparation" && _backup.preparation.fn) {
        _side = Side::Backup;
        _backup.preparation.fn(_backup.preparation.data);
        return true;
    }
    if (type == "backup_keys_and_dates" && _backup.keysAndDates.fn) {
        _backup.keysAndDates.fn(_backup.keysAndDates.data);
        return true;
    }
    if (type == "backup" && _backup.backup.fn) {
        auto* list = new korvane_cloud_list_s;
        std::string error;
        if (!CloudRecordList::fromJson(json_object_get_member(message, "records"), list, &error)) {
            OSTRA_LOGW("cloud: the service's record list is unusable: %s", error.c_str());
            delete list;
            list = nullptr;
        }
        _backup.backup.fn(list, _backup.backup.data);
        return true;
    }
    if (type == "backup_completed" && _backup.completed.fn) {
        _completed = true;
        _backup.completed.fn(successOf(message), _backup.completed.data);
        return true;
    }
    return false;
}

bool CloudClient::_dispatchRestore(const std::string& type, JsonObject* message) {
    if (type == "restore_preparation" && _restore.preparation.fn) {
        _side = Side::Restore;
        _restore.preparation.fn(_restore.preparation.data);
        return true;
    }
    if (type == "restore_path" && _restore.restorationPath.fn) {
        _restore.restorationPath.fn(_restore.restorationPath.data);
        return true;
    }
    if (type == "restoration" && _restore.restoration.fn) {
        const char* path = json_object_get_string_member_with_default(message, "path", nullptr);
        _restore.restoration.fn(path, _restore.restoration.data);
        return true;
    }
    if (type == "restore_completed" && _restore.completed.fn) {
        _completed = true;
        _restore.completed.fn(successOf(message), _restore.completed.data);
        return true;
    }
    return false;
}

// A service that goes away mid-session ends it as failed, so the program
// cleans up instead of waiting for a request that never comes.
void CloudClient::_onClosed() {
    if (_completed) {
        return;
    }
    bool restore = _side == Side::Restore || (_side == Side::Unknown && !_backup.completed.fn);
    if (restore && _restore.completed.fn) {
        OSTRA_LOGW("cloud: the service closed the session; the restore ends as failed");
        _completed = true;
        _restore.completed.fn(false, _restore.completed.data);
        return;
    }
    if (!restore && _backup.completed.fn) {
        OSTRA_LOGW("cloud: the service closed the session; the backup ends as failed");
        _completed = true;
        _backup.completed.fn(false, _backup.completed.data);
    }
}

}  // namespace ostra
