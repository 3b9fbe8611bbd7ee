/* Platform log service: one line per message on stderr, filtered by level. */
#ifndef OSTRA_DLOG_H
#define OSTRA_DLOG_H

#include <stdarg.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    DLOG_UNKNOWN = 0,
    DLOG_DEFAULT,
    DLOG_VERBOSE,
    DLOG_DEBUG,
    DLOG_INFO,
    DLOG_WARN,
    DLOG_ERROR,
    DLOG_FATAL,
    DLOG_SILENT,
} log_priority;

enum {
    DLOG_ERROR_NONE = 0,
    DLOG_ERROR_INVALID_PARAMETER = -22,
    DLOG_ERROR_NOT_PERMITTED = -1,
};

int dlog_print(log_priority prio, const char* tag, const char* fmt, ...)
    __attribute__((format(printf, 3, 4)));
int dlog_vprint(log_priority prio, const char* tag, const char* fmt, va_list ap)
    __attribute__((format(printf, 3, 0)));

/* A sink sees every line that passes the level filter, with the ANSI colour
 * escapes removed, before it is written to stderr. Tests use it to assert on
 * messages. Passing NULL removes the sink. Called on the logging thread. */
typedef void (*ostra_log_sink_cb)(log_priority prio, const char* tag, const char* message,
                                  void* user_data);
void ostra_log_set_sink(ostra_log_sink_cb sink, void* user_data);

/* The lowest level written; read from OSTRA_LOG_LEVEL (verbose, debug, info,
 * warn, error, silent or the first letter) at the first log call. */
log_priority ostra_log_get_level(void);
void ostra_log_set_level(log_priority prio);

#ifdef __cplusplus
}
#endif

#endif
