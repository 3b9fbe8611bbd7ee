/* The reserved screen: a program that must stay in front (an alert) asks the
 * platform to keep the screen for it. On a desktop the screen saver is held
 * off until the reservation is released. */
#ifndef OSTRA_RESERVED_SCREEN_H
#define OSTRA_RESERVED_SCREEN_H

#ifdef __cplusplus
extern "C" {
#endif

enum {
    RESERVED_SCREEN_ERROR_NONE = 0,
    RESERVED_SCREEN_ERROR_NOT_RESERVED = -61,
};

int reserved_screen_request(void);
/* RESERVED_SCREEN_ERROR_NOT_RESERVED when no request is held. */
int reserved_screen_release(void);
/* Requests held by this process. */
int ostra_reserved_screen_count(void);

#ifdef __cplusplus
}
#endif

#endif
