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

#ifdef __cplusplus
}
#endif

#endif
