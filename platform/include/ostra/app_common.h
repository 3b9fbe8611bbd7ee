/* Paths and identity of the running application. */
#ifndef OSTRA_APP_COMMON_H
#define OSTRA_APP_COMMON_H

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    APP_ERROR_NONE = 0,
    APP_ERROR_INVALID_PARAMETER = -22,
    APP_ERROR_OUT_OF_MEMORY = -12,
    APP_ERROR_INVALID_CONTEXT = -0x01100002,
} app_error_e;

/* Newly allocated paths with a trailing slash; the directories exist. */
char* app_get_data_path(void);
char* app_get_resource_path(void);
char* app_get_shared_trusted_path(void);
/* *id is newly allocated. */
int app_get_id(char** id);
/* The installed version of the app's package (the build's), newly allocated. */
int app_get_version(char** version);

/* The package (and app) id this process acts as. Default: the build's
 * package id; OSTRA_PACKAGE_ID in the environment wins over both. */
void ostra_app_set_package_id(const char* package_id);
/* The app id this process acts as (a package may hold several apps). Default:
 * OSTRA_APP_ID from the environment, else the package id. */
void ostra_app_set_app_id(const char* app_id);
/* $OSTRA_ROOT or its default; newly allocated. */
char* ostra_get_root_path(void);

#ifdef __cplusplus
}
#endif

#endif
