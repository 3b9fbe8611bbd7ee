/* Key storage: named secrets of the package in a file only its user can read. */
#ifndef OSTRA_KEY_STORAGE_H
#define OSTRA_KEY_STORAGE_H

#ifdef __cplusplus
extern "C" {
#endif

enum {
    KEY_STORAGE_ERROR_NONE = 0,
    KEY_STORAGE_ERROR_INVALID_PARAMETER = -22,
    KEY_STORAGE_ERROR_IO_ERROR = -5,
    KEY_STORAGE_ERROR_NO_KEY = -0x01900001,
};

/* *value is newly allocated on success; the caller frees it. */
int key_storage_get(const char* name, char** value);
int key_storage_set(const char* name, const char* value);
int key_storage_remove(const char* name);
/* The names stored, newly allocated and NULL-terminated (g_strfreev frees it). */
char** ostra_key_storage_list(void);

#ifdef __cplusplus
}
#endif

#endif
