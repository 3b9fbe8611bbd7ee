/* Message ports: named mailboxes of an application. A bundle sent to
 * (app id, port name) reaches the callback the app registered for that name,
 * on its main context. Ports are Unix sockets under $OSTRA_ROOT/run/ports. */
#ifndef OSTRA_MESSAGE_PORT_H
#define OSTRA_MESSAGE_PORT_H

#include <ostra/bundle.h>
#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    MESSAGE_PORT_ERROR_NONE = 0,
    MESSAGE_PORT_ERROR_IO_ERROR = -5,
    MESSAGE_PORT_ERROR_OUT_OF_MEMORY = -12,
    MESSAGE_PORT_ERROR_INVALID_PARAMETER = -22,
    MESSAGE_PORT_ERROR_PORT_NOT_FOUND = -0x01130001,
} message_port_error_e;

/* message is freed after the call; remote_port is NULL when the sender has none. */
typedef void (*message_port_message_cb)(int local_port_id, const char* remote_app_id,
                                        const char* remote_port, bool trusted_remote_port,
                                        bundle* message, void* user_data);

/* Returns the local port id (positive) or a negative error. Registering a
 * name again replaces its callback and keeps its id. */
int message_port_register_local_port(const char* local_port, message_port_message_cb callback,
                                     void* user_data);
int message_port_unregister_local_port(int local_port_id);
/* Delivers at once; PORT_NOT_FOUND when no app listens on that port. */
int message_port_send_message(const char* remote_app_id, const char* remote_port, bundle* message);

#ifdef __cplusplus
}
#endif

#endif
