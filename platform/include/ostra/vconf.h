/* System keys: platform-wide settings in one store under $OSTRA_ROOT/system,
 * with defaults derived from the host where one exists. */
#ifndef OSTRA_VCONF_H
#define OSTRA_VCONF_H

#ifdef __cplusplus
extern "C" {
#endif

#define VCONF_OK 0
#define VCONF_ERROR -1

enum vconf_t {
    VCONF_TYPE_NONE = 0,
    VCONF_TYPE_STRING = 40,
    VCONF_TYPE_INT = 41,
    VCONF_TYPE_DOUBLE = 42,
    VCONF_TYPE_BOOL = 43,
};

#define VCONFKEY_CSC_COUNTRY_ISO "db/csc/country_iso"
#define VCONFKEY_REGIONFORMAT "db/menu_widget/regionformat"
#define VCONFKEY_REGIONFORMAT_TIME1224 "db/menu_widget/regionformat_time1224"
#define VCONFKEY_TIME_FORMAT_12 1
#define VCONFKEY_TIME_FORMAT_24 2
#define VCONFKEY_RETAILMODE_ENABLED "db/retailmode/enabled"
/* Non-zero while a call is in progress (set with ostractl vconf on Linux). */
#define VCONFKEY_CALL_STATE "memory/call/state"
/* Changes when the wearer covers the screen with the palm. */
#define VCONFKEY_SHOT_OSTRA_PALM_TOUCH_MUTE "db/shot-ostra/palm_touch_mute_enabled"
#define VCONFKEY_SETUP_WIZARD_STANDALONE "db/setup_wizard/standalone"

typedef struct _keynode_t keynode_t;
typedef void (*vconf_callback_fn)(keynode_t* node, void* user_data);

int vconf_set_int(const char* key, int value);
int vconf_set_bool(const char* key, int value);
int vconf_set_dbl(const char* key, double value);
int vconf_set_str(const char* key, const char* value);
int vconf_get_int(const char* key, int* value);
int vconf_get_bool(const char* key, int* value);
int vconf_get_dbl(const char* key, double* value);
/* Newly allocated, or NULL when the key cannot be read. */
char* vconf_get_str(const char* key);
int vconf_unset(const char* key);

/* Several callbacks may watch one key; they run on the GLib main context. */
int vconf_notify_key_changed(const char* key, vconf_callback_fn cb, void* user_data);
int vconf_ignore_key_changed(const char* key, vconf_callback_fn cb);

const char* vconf_keynode_get_name(keynode_t* node);
int vconf_keynode_get_type(keynode_t* node);
int vconf_keynode_get_int(keynode_t* node);
int vconf_keynode_get_bool(keynode_t* node);
double vconf_keynode_get_dbl(keynode_t* node);
const char* vconf_keynode_get_str(keynode_t* node);

/* For tools: every stored key and every key with a host default. */
typedef void (*ostra_vconf_item_cb)(const char* key, int type, const char* value_text,
                                    int is_default, void* user_data);
void ostra_vconf_foreach(ostra_vconf_item_cb cb, void* user_data);

#ifdef __cplusplus
}
#endif

#endif
