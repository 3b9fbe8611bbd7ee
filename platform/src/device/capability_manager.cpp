#include "ostra/capability_manager.h"

#include "PlatformLog.h"

extern "C" {

int capability_manager_create_device_info(capability_device_info_h* info) {
    if (!info) {
        return CAPABILITY_MANAGER_ERROR_INVALID_PARAMETER;
    }
    *info = nullptr;
    OSTRA_LOGD("capability manager: no paired phone");
    return CAPABILITY_MANAGER_ERROR_NOT_SUPPORTED;
}

int capability_manager_destroy_device_info(capability_device_info_h) {
    return CAPABILITY_MANAGER_ERROR_INVALID_PARAMETER;
}

#define OSTRA_NO_PHONE_GETTER(name)                                                    \
    int capability_manager_get_device_##name(capability_device_info_h, char** value) { \
        if (value) {                                                                   \
            *value = nullptr;                                                          \
        }                                                                              \
        return CAPABILITY_MANAGER_ERROR_INVALID_PARAMETER;                             \
    }

OSTRA_NO_PHONE_GETTER(mcc)
OSTRA_NO_PHONE_GETTER(mnc)
OSTRA_NO_PHONE_GETTER(sales_code)
OSTRA_NO_PHONE_GETTER(sdk_version)
OSTRA_NO_PHONE_GETTER(model_number)
OSTRA_NO_PHONE_GETTER(resolution)

int capability_manager_get_device_features(capability_device_info_h, const char*, char** value) {
    if (value) {
        *value = nullptr;
    }
    return CAPABILITY_MANAGER_ERROR_INVALID_PARAMETER;
}

}  // extern "C"
