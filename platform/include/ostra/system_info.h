/* Platform feature flags, answered for a Linux host. */
#ifndef OSTRA_SYSTEM_INFO_H
#define OSTRA_SYSTEM_INFO_H

#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    SYSTEM_INFO_ERROR_NONE = 0,
    SYSTEM_INFO_ERROR_INVALID_PARAMETER = -22,
    SYSTEM_INFO_ERROR_NOT_SUPPORTED = -0x01130001,
} system_info_error_e;

/* Keys may carry a scheme and host ("http://.../feature/network.telephony");
 * the path from "feature/" on decides. Unknown features are NOT_SUPPORTED. */
int system_info_get_platform_bool(const char* key, bool* value);

#define SYSTEM_INFO_KEY_MODEL_NAME "http://ostra.org/system/model_name"
#define SYSTEM_INFO_KEY_PLATFORM_VERSION "http://ostra.org/feature/platform.version"
/* Texts about the machine, newly allocated: the model name (the system key
 * "db/ostra/system_info/model_name" when set, else the machine's DMI product
 * name or device-tree model, else its architecture) and the platform version
 * (the operating system's VERSION_ID). */
int system_info_get_platform_string(const char* key, char** value);

#ifdef __cplusplus
}
#endif

#endif
