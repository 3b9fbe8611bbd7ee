// The product's log macros: "file: function(line) > " then the message,
// coloured by kind, through the platform log service under the program's tag.
#pragma once

#include <ostra/dlog.h>

#ifndef ZENTREL_LOG_TAG
#define ZENTREL_LOG_TAG "ZENTREL"
#endif

#define ZENTREL_COLOR_GREEN "\033[0;32m"
#define ZENTREL_COLOR_MAGENTA "\033[0;35m"
#define ZENTREL_COLOR_BLUE "\033[0;34m"
#define ZENTREL_COLOR_RED "\033[0;31m"
#define ZENTREL_COLOR_END "\033[0m"

#define ZENTREL_LOG_(prio, color, fmt, ...)                                                       \
    dlog_print(prio, ZENTREL_LOG_TAG, "%s: %s(%d) > " color fmt ZENTREL_COLOR_END, __FILE_NAME__, \
               __func__, __LINE__, ##__VA_ARGS__)

#define ZLOGD(fmt, ...) ZENTREL_LOG_(DLOG_DEBUG, "", fmt, ##__VA_ARGS__)
#define ZLOGI(fmt, ...) ZENTREL_LOG_(DLOG_INFO, ZENTREL_COLOR_GREEN, fmt, ##__VA_ARGS__)
#define ZLOGW(fmt, ...) ZENTREL_LOG_(DLOG_WARN, ZENTREL_COLOR_MAGENTA, fmt, ##__VA_ARGS__)
#define ZLOGE(fmt, ...) \
    ZENTREL_LOG_(DLOG_ERROR, ZENTREL_COLOR_RED, "* Critical * " fmt, ##__VA_ARGS__)
#define ZLOG_BEGIN() ZENTREL_LOG_(DLOG_DEBUG, ZENTREL_COLOR_GREEN, "BEGIN >>>>")
#define ZLOG_END() ZENTREL_LOG_(DLOG_DEBUG, ZENTREL_COLOR_GREEN, "END <<<<")
#define ZLOG_HIT() ZENTREL_LOG_(DLOG_DEBUG, ZENTREL_COLOR_BLUE, ">>>HIT<<<")
