/* The notification client that shows a web page "on the phone". There is no
 * phone on Linux: the page opens with the desktop's default handler for its
 * address (GIO) when a desktop session exists; without one the calls fail. */
#ifndef OSTRA_FLITTER_H
#define OSTRA_FLITTER_H

#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    FLITTER_ERROR_NONE = 0,
    FLITTER_ERROR_IO_ERROR = -5,
    FLITTER_ERROR_INVALID_PARAMETER = -22,
    FLITTER_ERROR_NOT_CONNECTED = -0x01A10001,
} flitter_error_e;

/* True when a desktop session (X11 or Wayland display) is there to show pages. */
bool ostra_flitter_session_available(void);

int flitter_service_connect(void);
/* Opens an http or https address for the named caller. */
int flitter_request_to_browse(const char* caller, const char* url);
int flitter_service_disconnect(void);

#ifdef __cplusplus
}
#endif

#endif
