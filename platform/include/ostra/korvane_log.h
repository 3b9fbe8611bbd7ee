/* Usage-log client: each insert appends one JSON object to the package's
 * usage log ("usage-log.jsonl" in the data directory). */
#ifndef OSTRA_KORVANE_LOG_H
#define OSTRA_KORVANE_LOG_H

#include "ostra/bundle.h"

#ifdef __cplusplus
extern "C" {
#endif

#define KORVANE_LOG_URI_PREFIX "content://org.ostra.usagelog"
#define KORVANE_LOG_FILE_NAME "usage-log.jsonl"

enum {
    KORVANE_LOG_ERROR_NONE = 0,
    KORVANE_LOG_ERROR_INVALID_PARAMETER = -22,
    KORVANE_LOG_ERROR_IO_ERROR = -5,
};

typedef struct korvane_log_manager_s* korvane_log_manager_h;

int korvane_log_manager_create(korvane_log_manager_h* handle);
int korvane_log_manager_destroy(korvane_log_manager_h handle);
/* uri: the channel's content URI (prefix above plus the channel path). */
int korvane_log_manager_insert(korvane_log_manager_h handle, const char* uri, bundle* data);

#ifdef __cplusplus
}
#endif

#endif
