/* Network connection: the kind of network in use, the system HTTP proxy and
 * the CA bundle that HTTPS transfers trust. */
#ifndef OSTRA_CONNECTION_H
#define OSTRA_CONNECTION_H

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    CONNECTION_ERROR_NONE = 0,
    CONNECTION_ERROR_INVALID_PARAMETER = -22,
    CONNECTION_ERROR_OUT_OF_MEMORY = -12,
    CONNECTION_ERROR_ADDRESS_FAMILY_NOT_SUPPORTED = -97,
    CONNECTION_ERROR_OPERATION_FAILED = -5,
} connection_error_e;

typedef enum {
    CONNECTION_TYPE_DISCONNECTED = 0,
    CONNECTION_TYPE_WIFI = 1,
    CONNECTION_TYPE_CELLULAR = 2,
    CONNECTION_TYPE_ETHERNET = 3,
    CONNECTION_TYPE_BT = 4,
    CONNECTION_TYPE_NET_PROXY = 5,
} connection_type_e;

typedef enum {
    CONNECTION_ADDRESS_FAMILY_IPV4 = 0,
    CONNECTION_ADDRESS_FAMILY_IPV6 = 1,
} connection_address_family_e;

typedef struct ostra_connection_s* connection_h;

int connection_create(connection_h* connection);
int connection_destroy(connection_h connection);

/* The kind of network the host reaches the outside through: disconnected when
 * no network is available, cellular when the network is metered, ethernet
 * otherwise. OSTRA_CONNECTION_TYPE ("disconnected", "wifi", "cellular",
 * "ethernet", "bt") overrides the host's answer. */
int connection_get_type(connection_h connection, connection_type_e* type);

/* The HTTP proxy of the standard proxy environment (https_proxy, http_proxy,
 * then their upper-case forms; the first non-empty one), newly allocated and
 * returned as written there; the empty string when none is set. IPv4 only. */
int connection_get_proxy(connection_h connection, connection_address_family_e family,
                         char** proxy_address);

/* Path of the CA bundle HTTPS peers are checked against, newly allocated:
 * OSTRA_CA_FILE when set, else the system bundle. */
char* ostra_connection_get_ca_file(void);

#ifdef __cplusplus
}
#endif

#endif /* OSTRA_CONNECTION_H */
