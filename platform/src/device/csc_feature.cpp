#include "ostra/csc_feature.h"

// A Linux machine carries no sales code, so no feature flag is ever set.
extern "C" csc_feature_bool_e csc_feature_get_bool(int) {
    return CSC_FEATURE_BOOL_FALSE;
}
