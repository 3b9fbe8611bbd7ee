#include "ostra/korvane_cloud.h"

#include <cstdlib>
#include <cstring>

#include "CloudClient.h"
#include "CloudRecordList.h"
#include "PlatformLog.h"

using ostra::CloudClient;
using ostra::CloudRecordList;

namespace {

template <typename Fn>
int setCallback(CloudClient::Callback<Fn>* slot, Fn fn, void* data) {
    if (!fn) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    if (!CloudClient::instance().isConnected()) {
        return KORVANE_CLOUD_ERROR_NOT_INITIALIZED;
    }
    slot->fn = fn;
    slot->data = data;
    return KORVANE_CLOUD_ERROR_NONE;
}

JsonObject* resultBody(bool result) {
    JsonObject* body = json_object_new();
    json_object_set_boolean_member(body, "result", result);
    return body;
}

int setField(korvane_cloud_record_h record,
             std::optional<std::string> korvane_cloud_record_s::*field, const char* value) {
    if (!record || !value) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    record->*field = value;
    return KORVANE_CLOUD_ERROR_NONE;
}

int getField(korvane_cloud_record_h record,
             std::optional<std::string> korvane_cloud_record_s::*field, char** value) {
    if (!record || !value) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    *value = nullptr;
    if (!(record->*field)) {
        return KORVANE_CLOUD_ERROR_NO_DATA;
    }
    *value = strdup((record->*field)->c_str());
    return *value ? KORVANE_CLOUD_ERROR_NONE : KORVANE_CLOUD_ERROR_OUT_OF_MEMORY;
}

}  // namespace

extern "C" {

int korvane_cloud_initialize(void) {
    return CloudClient::instance().initialize();
}

int korvane_cloud_deinitialize(void) {
    return CloudClient::instance().deinitialize();
}

int korvane_cloud_backup_record_set_preparation_cb(korvane_cloud_backup_preparation_cb callback,
                                                   void* user_data) {
    return setCallback(&CloudClient::instance().backup().preparation, callback, user_data);
}

int korvane_cloud_backup_record_set_sending_keys_and_dates_cb(
    korvane_cloud_backup_sending_keys_and_dates_cb callback, void* user_data) {
    return setCallback(&CloudClient::instance().backup().keysAndDates, callback, user_data);
}

int korvane_cloud_backup_record_set_backup_cb(korvane_cloud_backup_cb callback, void* user_data) {
    return setCallback(&CloudClient::instance().backup().backup, callback, user_data);
}

int korvane_cloud_backup_record_set_completed_cb(korvane_cloud_backup_completed_cb callback,
                                                 void* user_data) {
    return setCallback(&CloudClient::instance().backup().completed, callback, user_data);
}

int korvane_cloud_backup_record_send_preparation_completed_response(bool ready) {
    return CloudClient::instance().send("backup_preparation_completed", resultBody(ready));
}

int korvane_cloud_backup_record_send_keys_and_dates(korvane_cloud_list_h list, bool result) {
    if (result && !list) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    JsonObject* body = resultBody(result);
    if (list) {
        json_object_set_member(body, "records", CloudRecordList::toJson(*list));
    }
    return CloudClient::instance().send("keys_and_dates", body);
}

int korvane_cloud_backup_record_send_backup_path(const char* path, bool result) {
    if (result && (!path || !*path)) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    JsonObject* body = resultBody(result);
    if (path) {
        json_object_set_string_member(body, "path", path);
    }
    return CloudClient::instance().send("backup_path", body);
}

int korvane_cloud_restore_record_set_preparation_cb(korvane_cloud_restore_preparation_cb callback,
                                                    void* user_data) {
    return setCallback(&CloudClient::instance().restore().preparation, callback, user_data);
}

int korvane_cloud_restore_record_set_sending_restoration_path_cb(
    korvane_cloud_restore_sending_restoration_path_cb callback, void* user_data) {
    return setCallback(&CloudClient::instance().restore().restorationPath, callback, user_data);
}

int korvane_cloud_restore_record_set_restoration_cb(korvane_cloud_restore_restoration_cb callback,
                                                    void* user_data) {
    return setCallback(&CloudClient::instance().restore().restoration, callback, user_data);
}

int korvane_cloud_restore_record_set_completed_cb(korvane_cloud_restore_completed_cb callback,
                                                  void* user_data) {
    return setCallback(&CloudClient::instance().restore().completed, callback, user_data);
}

int korvane_cloud_restore_record_send_preparation_completed_response(bool ready) {
    return CloudClient::instance().send("restore_preparation_completed", resultBody(ready));
}

int korvane_cloud_restore_record_send_restoration_path(const char* path, bool result) {
    if (result && (!path || !*path)) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    JsonObject* body = resultBody(result);
    if (path) {
        json_object_set_string_member(body, "path", path);
    }
    return CloudClient::instance().send("restoration_path", body);
}

int korvane_cloud_restore_record_send_record_list(korvane_cloud_list_h list, bool result) {
    if (result && !list) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    JsonObject* body = resultBody(result);
    if (list) {
        json_object_set_member(body, "records", CloudRecordList::toJson(*list));
    }
    return CloudClient::instance().send("record_list", body);
}

int korvane_cloud_list_create(korvane_cloud_list_h* list) {
    if (!list) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    *list = new korvane_cloud_list_s;
    return KORVANE_CLOUD_ERROR_NONE;
}

int korvane_cloud_list_destroy(korvane_cloud_list_h list) {
    if (!list) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    delete list;
    return KORVANE_CLOUD_ERROR_NONE;
}

int korvane_cloud_list_add(korvane_cloud_list_h list, korvane_cloud_record_h record) {
    if (!list || !record) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    list->records.emplace_back(record);
    return KORVANE_CLOUD_ERROR_NONE;
}

int korvane_cloud_list_get_record_count(korvane_cloud_list_h list, int* count) {
    if (!list || !count) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    *count = static_cast<int>(list->records.size());
    return KORVANE_CLOUD_ERROR_NONE;
}

int korvane_cloud_list_move_to_first(korvane_cloud_list_h list) {
    if (!list) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    list->cursor = 0;
    return list->records.empty() ? KORVANE_CLOUD_ERROR_NO_DATA : KORVANE_CLOUD_ERROR_NONE;
}

int korvane_cloud_list_move_to_next(korvane_cloud_list_h list) {
    if (!list) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    if (list->cursor < list->records.size()) {
        ++list->cursor;
    }
    return list->cursor < list->records.size() ? KORVANE_CLOUD_ERROR_NONE
                                               : KORVANE_CLOUD_ERROR_NO_DATA;
}

int korvane_cloud_list_get_current_record(korvane_cloud_list_h list,
                                          korvane_cloud_record_h* record) {
    if (!list || !record) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    if (list->cursor >= list->records.size()) {
        *record = nullptr;
        return KORVANE_CLOUD_ERROR_NO_DATA;
    }
    *record = list->records[list->cursor].get();
    return KORVANE_CLOUD_ERROR_NONE;
}

int korvane_cloud_record_create(korvane_cloud_record_h* record) {
    if (!record) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    *record = new korvane_cloud_record_s;
    return KORVANE_CLOUD_ERROR_NONE;
}

int korvane_cloud_record_destroy(korvane_cloud_record_h record) {
    if (!record) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    delete record;
    return KORVANE_CLOUD_ERROR_NONE;
}

int korvane_cloud_record_set_key(korvane_cloud_record_h record, const char* key) {
    return setField(record, &korvane_cloud_record_s::key, key);
}

int korvane_cloud_record_set_date(korvane_cloud_record_h record, const char* date) {
    return setField(record, &korvane_cloud_record_s::date, date);
}

int korvane_cloud_record_set_value(korvane_cloud_record_h record, const char* value) {
    return setField(record, &korvane_cloud_record_s::value, value);
}

int korvane_cloud_record_get_key(korvane_cloud_record_h record, char** key) {
    return getField(record, &korvane_cloud_record_s::key, key);
}

int korvane_cloud_record_get_date(korvane_cloud_record_h record, char** date) {
    return getField(record, &korvane_cloud_record_s::date, date);
}

int korvane_cloud_record_get_value(korvane_cloud_record_h record, char** value) {
    return getField(record, &korvane_cloud_record_s::value, value);
}

int korvane_cloud_file_create_file(korvane_cloud_list_h list, const char* path) {
    if (!list || !path || !*path) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    for (const auto& record : list->records) {
        if (!record->key) {
            OSTRA_LOGE("cloud: a record without a key cannot be written to %s", path);
            return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
        }
    }
    std::string error;
    if (!CloudRecordList::writeFile(*list, path, &error)) {
        OSTRA_LOGE("cloud: cannot write %s: %s", path, error.c_str());
        return KORVANE_CLOUD_ERROR_IO_ERROR;
    }
    return KORVANE_CLOUD_ERROR_NONE;
}

int korvane_cloud_file_create_record_list(const char* path, korvane_cloud_list_h* list) {
    if (!path || !*path || !list) {
        return KORVANE_CLOUD_ERROR_INVALID_PARAMETER;
    }
    *list = nullptr;
    auto* read = new korvane_cloud_list_s;
    std::string error;
    if (!CloudRecordList::readFile(path, read, &error)) {
        OSTRA_LOGE("cloud: %s is not a record list: %s", path, error.c_str());
        delete read;
        return KORVANE_CLOUD_ERROR_INVALID_FILE;
    }
    *list = read;
    return KORVANE_CLOUD_ERROR_NONE;
}

}  // extern "C"
