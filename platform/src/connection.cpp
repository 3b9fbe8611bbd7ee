#include "ostra/connection.h"

#include <gio/gio.h>

#include "PlatformLog.h"
#include "ostra/vconf.h"

struct connection_s {
    GNetworkMonitor* monitor;
};

extern "C" {

int connection_create(connection_h* connection) {
    if (!connection) {
        return CONNECTION_ERROR_INVALID_PARAMETER;
    }
    *connection = new connection_s{g_network_monitor_get_default()};
    return CONNECTION_ERROR_NONE;
}

int connection_destroy(connection_h connection) {
    if (!connection) {
        return CONNECTION_ERROR_INVALID_PARAMETER;
    }
    delete connection;
    return CONNECTION_ERROR_NONE;
}

int connection_get_type(connection_h connection, connection_type_e* type) {
    if (!connection || !type) {
        return CONNECTION_ERROR_INVALID_PARAMETER;
    }
    int forced = 0;
    if (vconf_get_int(OSTRA_VCONFKEY_CONNECTION_TYPE, &forced) == VCONF_OK) {
        if (forced >= CONNECTION_TYPE_DISCONNECTED && forced <= CONNECTION_TYPE_NET_PROXY) {
            *type = static_cast<connection_type_e>(forced);
            return CONNECTION_ERROR_NONE;
        }
        OSTRA_LOGW("%s holds %d, not a connection type; asking the host",
                   OSTRA_VCONFKEY_CONNECTION_TYPE, forced);
    }
    GNetworkMonitor* monitor = connection->monitor;
    if (!monitor || !g_network_monitor_get_network_available(monitor)) {
        *type = CONNECTION_TYPE_DISCONNECTED;
    } else if (g_network_monitor_get_network_metered(monitor)) {
        *type = CONNECTION_TYPE_CELLULAR;
    } else {
        *type = CONNECTION_TYPE_ETHERNET;
    }
    return CONNECTION_ERROR_NONE;
}

}  // extern "C"
