/* Per-package preference store: typed values that survive restarts and are
 * shared by every process of the package, with change callbacks delivered on
 * the GLib main context, also for writes made by other processes. */
#ifndef OSTRA_APP_PREFERENCE_H
#define OSTRA_APP_PREFERENCE_H

#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    PREFERENCE_ERROR_NONE = 0,
    PREFERENCE_ERROR_INVALID_PARAMETER = -22,
    PREFERENCE_ERROR_OUT_OF_MEMORY = -12,
    PREFERENCE_ERROR_IO_ERROR = -5,
    PREFERENCE_ERROR_NO_KEY = -0x01150030,
} preference_error_e;

typedef void (*preference_changed_cb)(const char* key, void* user_data);
typedef bool (*preference_item_cb)(const char* key, void* user_data);

int preference_set_int(const char* key, int value);
int preference_get_int(const char* key, int* value);
int preference_set_double(const char* key, double value);
int preference_get_double(const char* key, double* value);
int preference_set_string(const char* key, const char* value);
/* *value is newly allocated; the caller frees it. */
int preference_get_string(const char* key, char** value);
int preference_set_boolean(const char* key, bool value);
int preference_get_boolean(const char* key, bool* value);
int preference_remove(const char* key);
int preference_is_existing(const char* key, bool* existing);
int preference_remove_all(void);
/* One callback per key; a second registration replaces the first. */
int preference_set_changed_cb(const char* key, preference_changed_cb callback, void* user_data);
int preference_unset_changed_cb(const char* key);
int preference_foreach_item(preference_item_cb callback, void* user_data);

/* The stored type of a key, for tools: 'i', 'd', 's', 'b', or 0 when absent. */
char ostra_preference_get_type(const char* key);

#ifdef __cplusplus
}
#endif

#endif
