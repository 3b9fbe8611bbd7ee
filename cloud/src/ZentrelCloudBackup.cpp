#include "ZentrelCloudBackup.h"

#include <ostra/service_app.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "ZentrelBackupValue.h"
#include "ZentrelCloud.h"
#include "ZentrelCloudLog.h"

void ZentrelCloudBackup::preparationCb(void* data) {
    ZLOGD("");
    if (!data) {
        ZLOGE("app data is null");
        return;
    }
    int ret = korvane_cloud_backup_record_send_preparation_completed_response(true);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_backup_record_send_preparation_completed_response, ret);
}

void ZentrelCloudBackup::keysAndDatesCb(void* data) {
    if (!data) {
        ZLOGE("app data is null");
        return;
    }
    std::string date = ZentrelCloud::currentTimeMillisText();
    ZLOGI("Date is %s", date.c_str());
    korvane_cloud_list_h list = nullptr;
    int ret = korvane_cloud_list_create(&list);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_list_create, ret);
    korvane_cloud_record_h record = nullptr;
    ret = korvane_cloud_record_create(&record);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_record_create, ret);
    ret = korvane_cloud_record_set_key(record, RECORD_KEY);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_record_set_key, ret);
    ret = korvane_cloud_record_set_date(record, date.c_str());
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_record_set_date, ret);
    ret = korvane_cloud_list_add(list, record);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_list_add, ret);
    if (ret != KORVANE_CLOUD_ERROR_NONE && record) {
        korvane_cloud_record_destroy(record);
    }
    ret = korvane_cloud_backup_record_send_keys_and_dates(list, true);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_backup_record_send_keys_and_dates, ret);
    ret = korvane_cloud_list_destroy(list);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_list_destroy, ret);
}

void ZentrelCloudBackup::backupCb(korvane_cloud_list_h list, void* data) {
    if (!data) {
        ZLOGE("app data is null");
        korvane_cloud_list_destroy(list);
        return;
    }
    if (!list) {
        ZLOGE("record list is null");
        _sendNoBackup();
        return;
    }
    int count = 0;
    int ret = korvane_cloud_list_get_record_count(list, &count);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_list_get_record_count, ret);
    if (count <= 0) {
        ZLOGW("no record to back up");
        _sendNoBackup();
        korvane_cloud_list_destroy(list);
        return;
    }
    _fillFirstRecord(list);
    _writeBackupFile(list, data);
}

void ZentrelCloudBackup::completedCb(bool success, void* data) {
    if (success) {
        ZLOGI("__backup_completed_cb() SUCCESS\n");
    } else {
        ZLOGE("__backup_completed_cb() FAILED\n");
    }
    auto* ad = static_cast<_appData*>(data);
    if (ad && !ad->backupFilePath.empty()) {
        remove(ad->backupFilePath.c_str());
    }
    service_app_exit();
}

void ZentrelCloudBackup::_sendNoBackup() {
    int ret = korvane_cloud_backup_record_send_backup_path(nullptr, false);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_backup_record_send_backup_path, ret);
}

void ZentrelCloudBackup::_fillFirstRecord(korvane_cloud_list_h list) {
    int ret = korvane_cloud_list_move_to_first(list);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_list_move_to_first, ret);
    korvane_cloud_record_h record = nullptr;
    ret = korvane_cloud_list_get_current_record(list, &record);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_list_get_current_record, ret);
    std::string value = ZentrelBackupValue::build();
    if (value.empty()) {
        ZLOGE("fail to create Json Data");
    } else {
        ZLOGI("Jason Data is %s", value.c_str());
    }
    ret = korvane_cloud_record_set_value(record, value.empty() ? nullptr : value.c_str());
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_record_set_value, ret);
    // With the one record filled, the end of the list is the expected answer.
    ret = korvane_cloud_list_move_to_next(list);
    if (ret != KORVANE_CLOUD_ERROR_NO_DATA) {
        ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_list_move_to_next, ret);
    }
}

void ZentrelCloudBackup::_writeBackupFile(korvane_cloud_list_h list, void* data) {
    auto* ad = static_cast<_appData*>(data);
    std::string path = ZentrelCloud::sharedTrustedFile("backup.dat");
    if (path.empty()) {
        korvane_cloud_list_destroy(list);
        ZLOGE("app_get_shared_trusted_path() return nullptr");
        return;
    }
    ZLOGI("backupFilePath.c_str() = %s", path.c_str());
    ad->backupFilePath = path;
    int ret = korvane_cloud_file_create_file(list, path.c_str());
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_file_create_file, ret);
    ret = korvane_cloud_backup_record_send_backup_path(path.c_str(), true);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_backup_record_send_backup_path, ret);
    ret = korvane_cloud_list_destroy(list);
    ZENTREL_CLOUD_LOG_FAILURE(korvane_cloud_list_destroy, ret);
}
