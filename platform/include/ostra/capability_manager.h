/* Information about the paired phone. No phone is ever paired with a Linux
 * machine: creating the device information fails as on a watch without one. */
#ifndef OSTRA_CAPABILITY_MANAGER_H
#define OSTRA_CAPABILITY_MANAGER_H

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    CAPABILITY_MANAGER_ERROR_NONE = 0,
    CAPABILITY_MANAGER_ERROR_INVALID_PARAMETER = -22,
    CAPABILITY_MANAGER_ERROR_NOT_SUPPORTED = -0x01160001,
} capability_manager_error_e;

typedef struct capability_device_info_s* capability_device_info_h;

int capability_manager_create_device_info(capability_device_info_h* info);
int capability_manager_destroy_device_info(capability_device_info_h info);
/* *value is newly allocated. */
int capability_manager_get_device_mcc(capability_device_info_h info, char** value);
int capability_manager_get_device_mnc(capability_device_info_h info, char** value);
int capability_manager_get_device_sales_code(capability_device_info_h info, char** value);
int capability_manager_get_device_sdk_version(capability_device_info_h info, char** value);
int capability_manager_get_device_model_number(capability_device_info_h info, char** value);
int capability_manager_get_device_resolution(capability_device_info_h info, char** value);
/* A feature of the phone by bundle key (e.g. "vendor"). */
int capability_manager_get_device_features(capability_device_info_h info, const char* key,
                                           char** value);

#ifdef __cplusplus
}
#endif

#endif
