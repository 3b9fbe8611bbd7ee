/* Installed package information: the version comes from the build. */
#ifndef OSTRA_PACKAGE_MANAGER_H
#define OSTRA_PACKAGE_MANAGER_H

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    PACKAGE_MANAGER_ERROR_NONE = 0,
    PACKAGE_MANAGER_ERROR_INVALID_PARAMETER = -22,
    PACKAGE_MANAGER_ERROR_OUT_OF_MEMORY = -12,
    PACKAGE_MANAGER_ERROR_NO_SUCH_PACKAGE = -0x01150071,
} package_manager_error_e;

typedef struct package_info_s* package_info_h;
typedef struct package_updateinfo_s* package_updateinfo_h;

int package_info_create(const char* package, package_info_h* handle);
/* *version is newly allocated. */
int package_info_get_version(package_info_h handle, char** version);
int package_info_destroy(package_info_h handle);

/* No update is ever pending on this platform: the version reads empty. */
int package_info_updateinfo_create(const char* package, package_updateinfo_h* handle);
int package_info_updateinfo_get_version(package_updateinfo_h handle, char** version);
int package_info_updateinfo_destroy(package_updateinfo_h handle);

#ifdef __cplusplus
}
#endif

#endif
