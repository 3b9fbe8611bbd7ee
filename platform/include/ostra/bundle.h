/* A small ordered set of string key/value pairs. */
#ifndef OSTRA_BUNDLE_H
#define OSTRA_BUNDLE_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _bundle_t bundle;

enum {
    BUNDLE_ERROR_NONE = 0,
    BUNDLE_ERROR_INVALID_PARAMETER = -22,
    BUNDLE_ERROR_OUT_OF_MEMORY = -12,
    BUNDLE_ERROR_KEY_NOT_AVAILABLE = -126,
    BUNDLE_ERROR_KEY_EXISTS = -17,
};

typedef void (*bundle_iterate_cb_t)(const char* key, const char* value, void* user_data);

bundle* bundle_create(void);
int bundle_free(bundle* b);
bundle* bundle_dup(bundle* b);
int bundle_add_str(bundle* b, const char* key, const char* value);
/* *value points into the bundle; valid until the key is removed or the bundle freed. */
int bundle_get_str(bundle* b, const char* key, char** value);
int bundle_del(bundle* b, const char* key);
int bundle_get_count(bundle* b);
/* Visits the pairs in insertion order. */
void bundle_iterate(bundle* b, bundle_iterate_cb_t cb, void* user_data);

#ifdef __cplusplus
}
#endif

#endif
