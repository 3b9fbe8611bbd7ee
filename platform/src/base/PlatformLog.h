// The platform layer logs under its own tag so its lines stand apart from the programs'.
#pragma once

#include "ostra/dlog.h"

#define OSTRA_LOG_TAG "OSTRA"
#define OSTRA_LOGD(fmt, ...) dlog_print(DLOG_DEBUG, OSTRA_LOG_TAG, fmt, ##__VA_ARGS__)
#define OSTRA_LOGI(fmt, ...) dlog_print(DLOG_INFO, OSTRA_LOG_TAG, fmt, ##__VA_ARGS__)
#define OSTRA_LOGW(fmt, ...) dlog_print(DLOG_WARN, OSTRA_LOG_TAG, fmt, ##__VA_ARGS__)
#define OSTRA_LOGE(fmt, ...) dlog_print(DLOG_ERROR, OSTRA_LOG_TAG, fmt, ##__VA_ARGS__)
