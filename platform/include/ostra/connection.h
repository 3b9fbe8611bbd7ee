/* The host's network connection as the watch sees it: GNetworkMonitor's
 * availability, with a metered network counted as cellular. The system key
 * "memory/ostra/connection_type" (a connection_type_e value), when set, wins,
 * so tests and users can pretend any connection. */
#ifndef OSTRA_CONNECTION_H
#define OSTRA_CONNECTION_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct connection_s* connection_h;

typedef enum {
    CONNECTION_ERROR_NONE = 0,
    CONNECTION_ERROR_INVALID_PARAMETER = -22,
    CONNECTION_ERROR_OUT_OF_MEMORY = -12,
} connection_error_e;

typedef enum {
    CONNECTION_TYPE_DISCONNECTED = 0,
    CONNECTION_TYPE_WIFI = 1,
    CONNECTION_TYPE_CELLULAR = 2,
    CONNECTION_TYPE_ETHERNET = 3,
    CONNECTION_TYPE_BT = 4,
    CONNECTION_TYPE_NET_PROXY = 5,
} connection_type_e;

#define OSTRA_VCONFKEY_CONNECTION_TYPE "memory/ostra/connection_type"

int connection_create(connection_h* connection);
int connection_destroy(connection_h connection);
int connection_get_type(connection_h connection, connection_type_e* type);

#ifdef __cplusplus
}
#endif

#endif
