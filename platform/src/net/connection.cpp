#include "ostra/connection.h"

#include <gio/gio.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>
#include <new>

#include "PlatformLog.h"

struct ostra_connection_s {
    GNetworkMonitor* monitor;
};

namespace {

constexpr const char* kSystemCaFile = "/etc/ssl/certs/ca-certificates.crt";

struct TypeName {
    const char* name;
    connection_type_e type;
};

constexpr TypeName kTypeNames[] = {
    {"disconnected", CONNECTION_TYPE_DISCONNECTED},
    {"wifi", CONNECTION_TYPE_WIFI},
    {"cellular", CONNECTION_TYPE_CELLULAR},
    {"ethernet", CONNECTION_TYPE_ETHERNET},
    {"bt", CONNECTION_TYPE_BT},
};

bool typeOverride(connection_type_e* type) {
    const char* value = getenv("OSTRA_CONNECTION_TYPE");
    if (!value || !*value) {
        return false;
    }
    for (const auto& entry : kTypeNames) {
        if (strcmp(entry.name, value) == 0) {
            *type = entry.type;
            return true;
        }
    }
    OSTRA_LOGW("connection: unknown OSTRA_CONNECTION_TYPE \"%s\" ignored", value);
    return false;
}

}  // namespace

extern "C" int connection_create(connection_h* connection) {
    if (!connection) {
        return CONNECTION_ERROR_INVALID_PARAMETER;
    }
    // The network monitor is fetched on first use: a proxy look-up (done for
    // every HTTP request) must not pay for setting up the monitor.
    auto* handle = new (std::nothrow) ostra_connection_s{nullptr};
    if (!handle) {
        return CONNECTION_ERROR_OUT_OF_MEMORY;
    }
    *connection = handle;
    return CONNECTION_ERROR_NONE;
}

extern "C" int connection_destroy(connection_h connection) {
    if (!connection) {
        return CONNECTION_ERROR_INVALID_PARAMETER;
    }
    if (connection->monitor) {
        g_object_unref(connection->monitor);
    }
    delete connection;
    return CONNECTION_ERROR_NONE;
}

extern "C" int connection_get_type(connection_h connection, connection_type_e* type) {
    if (!connection || !type) {
        return CONNECTION_ERROR_INVALID_PARAMETER;
    }
    if (typeOverride(type)) {
        return CONNECTION_ERROR_NONE;
    }
    if (!connection->monitor) {
        // The default monitor is a process-wide singleton; hold it while the handle lives.
        connection->monitor = g_network_monitor_get_default();
        if (connection->monitor) {
            g_object_ref(connection->monitor);
        }
    }
    if (!connection->monitor) {
        OSTRA_LOGE("connection: no network monitor");
        return CONNECTION_ERROR_OPERATION_FAILED;
    }
    if (!g_network_monitor_get_network_available(connection->monitor)) {
        *type = CONNECTION_TYPE_DISCONNECTED;
    } else if (g_network_monitor_get_network_metered(connection->monitor)) {
        *type = CONNECTION_TYPE_CELLULAR;
    } else {
        *type = CONNECTION_TYPE_ETHERNET;
    }
    return CONNECTION_ERROR_NONE;
}

extern "C" int connection_get_proxy(connection_h connection, connection_address_family_e family,
                                    char** proxy_address) {
    if (!connection || !proxy_address) {
        return CONNECTION_ERROR_INVALID_PARAMETER;
    }
    if (family != CONNECTION_ADDRESS_FAMILY_IPV4) {
        return CONNECTION_ERROR_ADDRESS_FAMILY_NOT_SUPPORTED;
    }
    const char* value = "";
    for (const char* name : {"https_proxy", "http_proxy", "HTTPS_PROXY", "HTTP_PROXY"}) {
        const char* candidate = getenv(name);
        if (candidate && *candidate) {
            value = candidate;
            break;
        }
    }
    *proxy_address = strdup(value);
    return *proxy_address ? CONNECTION_ERROR_NONE : CONNECTION_ERROR_OUT_OF_MEMORY;
}

extern "C" char* ostra_connection_get_ca_file(void) {
    const char* path = getenv("OSTRA_CA_FILE");
    return strdup(path && *path ? path : kSystemCaFile);
}
