#include "ZentrelCloud.h"

#include <ostra/app_common.h>
#include <ostra/service_app.h>
#include <sys/time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ZentrelBuildConfig.h"
#include "ZentrelCloudBackup.h"
#include "ZentrelCloudLog.h"
#include "ZentrelCloudRestore.h"

namespace {

struct OperationUri {
    const char* uri;
    int code;
};

const OperationUri kOperations[] = {
    {KORVANE_CLOUD_OPERATION_BACKUP_URI, KORVANE_CLOUD_OPERATION_BACKUP},
    {KORVANE_CLOUD_OPERATION_RESTORE_URI, KORVANE_CLOUD_OPERATION_RESTORE},
    {KORVANE_CLOUD_OPERATION_GET_BACKUP_INFO_URI, KORVANE_CLOUD_OPERATION_GETINFO},
};

// The platform's low battery, low memory, language and region events need no action here.
void ignoreEvent(app_event_info_h, void*) {}

}  // namespace

int ZentrelCloud::run(int argc, char* argv[], _appData* ad) {
    // Started from a shell, the program must still answer as the backup service, not the main app.
    ostra_app_set_app_id(ZENTREL_APP_ID_CLOUD);
    app_event_handler_h handlers[4] = {};
    const app_event_type_e events[4] = {APP_EVENT_LOW_BATTERY, APP_EVENT_LOW_MEMORY,
                                        APP_EVENT_LANGUAGE_CHANGED,
                                        APP_EVENT_REGION_FORMAT_CHANGED};
    for (int i = 0; i < 4; ++i) {
        service_app_add_event_handler(&handlers[i], events[i], ignoreEvent, ad);
    }
    service_app_lifecycle_callback_s callbacks = {};
    callbacks.create = _createCb;
    callbacks.terminate = _terminateCb;
    callbacks.app_control = _appControlCb;
    int ret = service_app_main(argc, argv, &callbacks, ad);
    for (app_event_handler_h handler : handlers) {
        if (handler) {
            service_app_remove_event_handler(handler);
        }
    }
    return ret;
}

int ZentrelCloud::operationCode(const char* operation) {
    if (!operation) {
        return KORVANE_CLOUD_OPERATION_NONE;
    }
    for (const OperationUri& known : kOperations) {
        if (strncmp(operation, known.uri, strlen(known.uri)) == 0) {
            return known.code;
        }
    }
    return KORVANE_CLOUD_OPERATION_NONE;
}

std::string ZentrelCloud::currentTimeMillisText() {
    struct timeval now;
    gettimeofday(&now, nullptr);
    unsigned long long millis = static_cast<unsigned long long>(now.tv_sec) * 1000ULL +
                                static_cast<unsigned long long>(now.tv_usec) / 1000ULL;
    char text[32];
    snprintf(text, sizeof(text), "%llu", millis);
    return text;
}

std::string ZentrelCloud::sharedTrustedFile(const char* name) {
    std::unique_ptr<char, decltype(&free)> dir(app_get_shared_trusted_path(), free);
    if (!dir) {
        return "";
    }
    return std::string(dir.get()) + name;
}

bool ZentrelCloud::_createCb(void*) {
    return true;
}

void ZentrelCloud::_terminateCb(void*) {
    int ret = korvane_cloud_deinitialize();
    if (ret != KORVANE_CLOUD_ERROR_NONE) {
        ZLOGE("korvane_cloud_deinitialize() failed, error_code = [%d]\n", ret);
    }
}

void ZentrelCloud::_appControlCb(app_control_h appControl, void* data) {
    auto* ad = static_cast<_appData*>(data);
    if (!ad) {
        ZLOGE("app data is null");
        return;
    }
    ZLOG_TRACE_ERROR();
    int ret = korvane_cloud_initialize();
    if (ret != KORVANE_CLOUD_ERROR_NONE) {
        ZLOGE("korvane_cloud_initialize() failed, error_code = [%d]\n", ret);
        return;
    }
    app_control_h reply = nullptr;
    bool ok = false;
    if (_readOperation(appControl, ad)) {
        switch (ad->operation) {
            case KORVANE_CLOUD_OPERATION_BACKUP:
                ok = _startBackup(appControl, ad, &reply);
                break;
            case KORVANE_CLOUD_OPERATION_RESTORE:
                ok = _startRestore(appControl, ad, &reply);
                break;
            case KORVANE_CLOUD_OPERATION_GETINFO:
                ok = _startGetInfo(appControl, ad, &reply);
                break;
            default:
                return;
        }
    }
    if (!ok) {
        _replyFailed(appControl, reply);
    }
}

bool ZentrelCloud::_readOperation(app_control_h appControl, _appData* ad) {
    char* operation = nullptr;
    int ret = app_control_get_operation(appControl, &operation);
    if (ret != APP_CONTROL_ERROR_NONE) {
        ZLOGE("app_control_get_operation() was failed, error_code = [%d]\n", ret);
        return false;
    }
    ad->operation = operationCode(operation);
    free(operation);
    ZLOGI("operation : %d", ad->operation);
    return true;
}

// Registration logs every failure; the launch is refused if any failed.
#define ZENTREL_CLOUD_REGISTER(call, ...)                        \
    do {                                                         \
        int _ret = call(__VA_ARGS__);                            \
        if (_ret != KORVANE_CLOUD_ERROR_NONE) {                  \
            ZLOGE(#call "() failed, error_code = [%d]\n", _ret); \
            registered = false;                                  \
        }                                                        \
    } while (0)

bool ZentrelCloud::_startBackup(app_control_h appControl, _appData* ad, app_control_h* reply) {
    if (app_control_create(reply) != APP_CONTROL_ERROR_NONE) {
        *reply = nullptr;
        return false;
    }
    bool registered = true;
    ZENTREL_CLOUD_REGISTER(korvane_cloud_backup_record_set_preparation_cb,
                           ZentrelCloudBackup::preparationCb, ad);
    ZENTREL_CLOUD_REGISTER(korvane_cloud_backup_record_set_sending_keys_and_dates_cb,
                           ZentrelCloudBackup::keysAndDatesCb, ad);
    ZENTREL_CLOUD_REGISTER(korvane_cloud_backup_record_set_backup_cb, ZentrelCloudBackup::backupCb,
                           ad);
    ZENTREL_CLOUD_REGISTER(korvane_cloud_backup_record_set_completed_cb,
                           ZentrelCloudBackup::completedCb, ad);
    return registered && _replySucceeded(appControl, reply);
}

bool ZentrelCloud::_startRestore(app_control_h appControl, _appData* ad, app_control_h* reply) {
    if (app_control_create(reply) != APP_CONTROL_ERROR_NONE) {
        *reply = nullptr;
        return false;
    }
    bool registered = true;
    ZENTREL_CLOUD_REGISTER(korvane_cloud_restore_record_set_preparation_cb,
                           ZentrelCloudRestore::preparationCb, ad);
    ZENTREL_CLOUD_REGISTER(korvane_cloud_restore_record_set_sending_restoration_path_cb,
                           ZentrelCloudRestore::restorationPathCb, ad);
    ZENTREL_CLOUD_REGISTER(korvane_cloud_restore_record_set_restoration_cb,
                           ZentrelCloudRestore::restorationCb, ad);
    ZENTREL_CLOUD_REGISTER(korvane_cloud_restore_record_set_completed_cb,
                           ZentrelCloudRestore::completedCb, ad);
    return registered && _replySucceeded(appControl, reply);
}

#undef ZENTREL_CLOUD_REGISTER

// The information request prints its registration failures on standard output.
#define ZENTREL_CLOUD_REGISTER_PRINT(call, ...)                   \
    do {                                                          \
        int _ret = call(__VA_ARGS__);                             \
        if (_ret != KORVANE_CLOUD_ERROR_NONE) {                   \
            printf(#call "() failed, error_code = [%d]\n", _ret); \
            registered = false;                                   \
        }                                                         \
    } while (0)

bool ZentrelCloud::_startGetInfo(app_control_h appControl, _appData* ad, app_control_h* reply) {
    ZLOG_HIT();
    if (app_control_create(reply) != APP_CONTROL_ERROR_NONE) {
        *reply = nullptr;
        return false;
    }
    bool registered = true;
    ZENTREL_CLOUD_REGISTER_PRINT(korvane_cloud_backup_record_set_preparation_cb,
                                 ZentrelCloudBackup::preparationCb, ad);
    ZENTREL_CLOUD_REGISTER_PRINT(korvane_cloud_backup_record_set_sending_keys_and_dates_cb,
                                 ZentrelCloudBackup::keysAndDatesCb, ad);
    ZENTREL_CLOUD_REGISTER_PRINT(korvane_cloud_backup_record_set_completed_cb,
                                 ZentrelCloudBackup::completedCb, ad);
    return registered && _replySucceeded(appControl, reply);
}

#undef ZENTREL_CLOUD_REGISTER_PRINT

bool ZentrelCloud::_replySucceeded(app_control_h appControl, app_control_h* reply) {
    int ret = app_control_reply_to_launch_request(*reply, appControl, APP_CONTROL_RESULT_SUCCEEDED);
    if (ret != APP_CONTROL_ERROR_NONE) {
        ZLOGE("app_control_reply_to_launch_request() failed, error_code = [%d]\n", ret);
        return false;
    }
    app_control_destroy(*reply);
    *reply = nullptr;
    return true;
}

void ZentrelCloud::_replyFailed(app_control_h appControl, app_control_h reply) {
    if (!reply) {
        int ret = app_control_create(&reply);
        if (ret != APP_CONTROL_ERROR_NONE) {
            ZLOGE("app_control_create() was failed, ret = [%d]\n", ret);
            service_app_exit();
            return;
        }
    }
    app_control_reply_to_launch_request(reply, appControl, APP_CONTROL_RESULT_FAILED);
    app_control_destroy(reply);
    service_app_exit();
}
