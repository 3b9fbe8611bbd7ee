// Log helpers of the backup service on top of the product's log macros.
#pragma once

#include "ZentrelLog.h"

// A bare error-level line: where the program is, nothing more.
#define ZLOG_TRACE_ERROR() ZENTREL_LOG_(DLOG_ERROR, ZENTREL_COLOR_RED, "")

// A cloud library call that failed is logged with its name and code; the
// sequence goes on.
#define ZENTREL_CLOUD_LOG_FAILURE(call, ret)                      \
    do {                                                          \
        if ((ret) != KORVANE_CLOUD_ERROR_NONE) {                  \
            ZLOGE(#call "() failed, error_code = [%d]\n", (ret)); \
        }                                                         \
    } while (0)
