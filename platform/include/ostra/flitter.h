/* The notification client that shows a web page on the paired phone. Linux
 * has no paired phone: the page opens with the desktop's default handler
 * (GIO) when a desktop session exists; without one the calls fail. */
#ifndef OSTRA_FLITTER_H
#define OSTRA_FLITTER_H

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    FLITTER_ERROR_NONE = 0,
    FLITTER_ERROR_INVALID_PARAMETER = -22,
    FLITTER_ERROR_NOT_CONNECTED = -107,
    FLITTER_ERROR_NOT_SUPPORTED = -95,
    FLITTER_ERROR_OPERATION_FAILED = -5,
} flitter_error_e;

/* FLITTER_ERROR_NOT_SUPPORTED when there is no desktop session to show pages on. */
int flitter_service_connect(void);
/* Opens an http or https address for caller; other schemes are refused. */
int flitter_request_to_browse(const char* caller, const char* url);
int flitter_service_disconnect(void);

#ifdef __cplusplus
}
#endif

#endif
