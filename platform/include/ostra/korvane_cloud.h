/* Cloud backup client. A program the cloud backup service launches connects
 * to the service with korvane_cloud_initialize, registers its callbacks and
 * answers the service's requests; the service drives the sequence:
 *   backup:  preparation -> keys and dates -> backup (record list) -> completed
 *   restore: preparation -> restoration path -> restoration (file) -> completed
 * Callbacks run on the GLib main context. Record lists travel between the
 * program and the service as files (korvane_cloud_file_*). */
#ifndef OSTRA_KORVANE_CLOUD_H
#define OSTRA_KORVANE_CLOUD_H

#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KORVANE_CLOUD_OPERATION_URI_PREFIX "http://korvane.com/appcontrol/operation/korvane_cloud"
#define KORVANE_CLOUD_OPERATION_BACKUP_URI KORVANE_CLOUD_OPERATION_URI_PREFIX "/backup"
#define KORVANE_CLOUD_OPERATION_RESTORE_URI KORVANE_CLOUD_OPERATION_URI_PREFIX "/restore"
#define KORVANE_CLOUD_OPERATION_GET_BACKUP_INFO_URI \
    KORVANE_CLOUD_OPERATION_URI_PREFIX "/get_backup_info"

typedef enum {
    KORVANE_CLOUD_ERROR_NONE = 0,
    KORVANE_CLOUD_ERROR_INVALID_PARAMETER = -22,
    KORVANE_CLOUD_ERROR_OUT_OF_MEMORY = -12,
    KORVANE_CLOUD_ERROR_IO_ERROR = -5,
    KORVANE_CLOUD_ERROR_NO_DATA = -61,
    KORVANE_CLOUD_ERROR_NOT_INITIALIZED = -0x01190001,
    KORVANE_CLOUD_ERROR_SERVICE_UNAVAILABLE = -0x01190002,
    KORVANE_CLOUD_ERROR_INVALID_FILE = -0x01190003,
} korvane_cloud_error_e;

typedef struct korvane_cloud_list_s* korvane_cloud_list_h;
typedef struct korvane_cloud_record_s* korvane_cloud_record_h;

/* Connects to the cloud backup service of $OSTRA_ROOT; a no-op while
 * connected. SERVICE_UNAVAILABLE when no service session waits. */
int korvane_cloud_initialize(void);
/* Closes the connection and forgets every callback. */
int korvane_cloud_deinitialize(void);

typedef void (*korvane_cloud_backup_preparation_cb)(void* user_data);
typedef void (*korvane_cloud_backup_sending_keys_and_dates_cb)(void* user_data);
/* The list belongs to the callback, which destroys it. */
typedef void (*korvane_cloud_backup_cb)(korvane_cloud_list_h list, void* user_data);
typedef void (*korvane_cloud_backup_completed_cb)(bool success, void* user_data);

int korvane_cloud_backup_record_set_preparation_cb(korvane_cloud_backup_preparation_cb callback,
                                                   void* user_data);
int korvane_cloud_backup_record_set_sending_keys_and_dates_cb(
    korvane_cloud_backup_sending_keys_and_dates_cb callback, void* user_data);
int korvane_cloud_backup_record_set_backup_cb(korvane_cloud_backup_cb callback, void* user_data);
int korvane_cloud_backup_record_set_completed_cb(korvane_cloud_backup_completed_cb callback,
                                                 void* user_data);
int korvane_cloud_backup_record_send_preparation_completed_response(bool ready);
/* Announces the keys and dates of the records a backup would hold. */
int korvane_cloud_backup_record_send_keys_and_dates(korvane_cloud_list_h list, bool result);
/* Hands the backup file to the service; (NULL, false) when there is nothing to back up. */
int korvane_cloud_backup_record_send_backup_path(const char* path, bool result);

typedef void (*korvane_cloud_restore_preparation_cb)(void* user_data);
typedef void (*korvane_cloud_restore_sending_restoration_path_cb)(void* user_data);
/* path: the file the service wrote the restored records to. */
typedef void (*korvane_cloud_restore_restoration_cb)(const char* path, void* user_data);
typedef void (*korvane_cloud_restore_completed_cb)(bool success, void* user_data);

int korvane_cloud_restore_record_set_preparation_cb(korvane_cloud_restore_preparation_cb callback,
                                                    void* user_data);
int korvane_cloud_restore_record_set_sending_restoration_path_cb(
    korvane_cloud_restore_sending_restoration_path_cb callback, void* user_data);
int korvane_cloud_restore_record_set_restoration_cb(korvane_cloud_restore_restoration_cb callback,
                                                    void* user_data);
int korvane_cloud_restore_record_set_completed_cb(korvane_cloud_restore_completed_cb callback,
                                                  void* user_data);
int korvane_cloud_restore_record_send_preparation_completed_response(bool ready);
/* Where the service is to write the restore file. */
int korvane_cloud_restore_record_send_restoration_path(const char* path, bool result);
/* Confirms the restored records; (NULL, false) when nothing was restored. */
int korvane_cloud_restore_record_send_record_list(korvane_cloud_list_h list, bool result);

/* Record lists: records in the order added, with a cursor. */
int korvane_cloud_list_create(korvane_cloud_list_h* list);
/* Destroys the list and the records it holds. */
int korvane_cloud_list_destroy(korvane_cloud_list_h list);
/* The list takes the record over. */
int korvane_cloud_list_add(korvane_cloud_list_h list, korvane_cloud_record_h record);
int korvane_cloud_list_get_record_count(korvane_cloud_list_h list, int* count);
/* NO_DATA on an empty list, or past the last record. */
int korvane_cloud_list_move_to_first(korvane_cloud_list_h list);
int korvane_cloud_list_move_to_next(korvane_cloud_list_h list);
/* The record stays the list's. */
int korvane_cloud_list_get_current_record(korvane_cloud_list_h list,
                                          korvane_cloud_record_h* record);

int korvane_cloud_record_create(korvane_cloud_record_h* record);
/* Only for a record no list holds. */
int korvane_cloud_record_destroy(korvane_cloud_record_h record);
int korvane_cloud_record_set_key(korvane_cloud_record_h record, const char* key);
int korvane_cloud_record_set_date(korvane_cloud_record_h record, const char* date);
int korvane_cloud_record_set_value(korvane_cloud_record_h record, const char* value);
/* Getters hand out newly allocated strings; NO_DATA when unset. */
int korvane_cloud_record_get_key(korvane_cloud_record_h record, char** key);
int korvane_cloud_record_get_date(korvane_cloud_record_h record, char** date);
int korvane_cloud_record_get_value(korvane_cloud_record_h record, char** value);

/* Writes the list to a file (JSON: {"records": [{"key", "date", "value"}]}). */
int korvane_cloud_file_create_file(korvane_cloud_list_h list, const char* path);
/* Reads a file written by korvane_cloud_file_create_file into a new list.
 * INVALID_FILE when it is not such a file. */
int korvane_cloud_file_create_record_list(const char* path, korvane_cloud_list_h* list);

#ifdef __cplusplus
}
#endif

#endif
