/* Sales-code feature flags: this platform has none, every flag is false. */
#ifndef OSTRA_CSC_FEATURE_H
#define OSTRA_CSC_FEATURE_H

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    CSC_FEATURE_BOOL_FALSE = 0,
    CSC_FEATURE_BOOL_TRUE = 1,
} csc_feature_bool_e;

#define CSC_FEATURE_DEF_BOOL_SECURITY_PERMISSION_MANAGER 38

csc_feature_bool_e csc_feature_get_bool(int feature);

#ifdef __cplusplus
}
#endif

#endif
