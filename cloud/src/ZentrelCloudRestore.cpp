#include "ZentrelCloudRestore.h"

#include <ostra/service_app.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ZentrelBackupValue.h"
#include "ZentrelCloud.h"
#include "ZentrelCloudBackup.h"
#include "ZentrelCloudLog.h"

void ZentrelCloudRestore::preparationCb(void* data) {
    if (!data) {
        ZLOGE("app data is null");
        return;
    }
    int ret = korvane_cloud_restore_record_send_preparation_completed_response(true);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_restore_record_send_preparation_completed_response,
                              ret);
}

void ZentrelCloudRestore::restorationPathCb(void* data) {
    auto* ad = static_cast<_appData*>(data);
    if (!ad) {
        ZLOGE("app data is null");
        return;
    }
    std::string path = ZentrelCloud::sharedTrustedFile("restore.dat");
    if (path.empty()) {
        ZLOGE("app_get_shared_trusted_path() return nullptr");
        return;
    }
    ad->restoreFilePath = path;
    int ret = korvane_cloud_restore_record_send_restoration_path(path.c_str(), true);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_restore_record_send_restoration_path, ret);
}

void ZentrelCloudRestore::restorationCb(const char* path, void* data) {
    if (!data) {
        ZLOGE("app data is null");
        return;
    }
    korvane_cloud_list_h list = nullptr;
    int ret = korvane_cloud_file_create_record_list(path, &list);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_file_create_record_list, ret);
    int count = 0;
    ret = korvane_cloud_list_get_record_count(list, &count);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_list_get_record_count, ret);
    if (count <= 0) {
        _sendNothingRestored(list);
        return;
    }
    ret = korvane_cloud_list_move_to_first(list);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_list_move_to_first, ret);
    korvane_cloud_record_h record = nullptr;
    ret = korvane_cloud_list_get_current_record(list, &record);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_list_get_current_record, ret);
    char* value = nullptr;
    ret = korvane_cloud_record_get_value(record, &value);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_record_get_value, ret);
    ZLOGI("value : \n%s", value ? value : "");
    // A record none of whose settings could be applied is no restore; the
    // service hears so instead of a confirmation.
    bool applied = ZentrelBackupValue::apply(value);
    free(value);
    if (!applied) {
        _sendNothingRestored(list);
        return;
    }
    ret = korvane_cloud_record_set_key(record, ZentrelCloudBackup::RECORD_KEY);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_record_set_key, ret);
    ret = korvane_cloud_record_set_date(record, ZentrelCloud::currentTimeMillisText().c_str());
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_record_set_date, ret);
    ret = korvane_cloud_restore_record_send_record_list(list, true);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_restore_record_send_record_list, ret);
    ret = korvane_cloud_list_destroy(list);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_list_destroy, ret);
}

void ZentrelCloudRestore::completedCb(bool success, void* data) {
    if (success) {
        ZLOGI("__restore_completed_cb() SUCCEEDED\n");
    } else {
        ZLOGE("__restore_completed_cb() FAILED\n");
    }
    auto* ad = static_cast<_appData*>(data);
    if (ad && !ad->restoreFilePath.empty()) {
        remove(ad->restoreFilePath.c_str());
    }
    service_app_exit();
}

void ZentrelCloudRestore::_sendNothingRestored(korvane_cloud_list_h list) {
    int ret = korvane_cloud_restore_record_send_record_list(nullptr, false);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_restore_record_send_record_list, ret);
    if (list) {
        korvane_cloud_list_destroy(list);
    }
}
