// Verb for the network connection: what the programs see as connection
// type, HTTP proxy and CA bundle.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Command.h"
#include "ostra/connection.h"

namespace {

const char* typeName(connection_type_e type) {
    switch (type) {
        case CONNECTION_TYPE_DISCONNECTED:
            return "disconnected";
        case CONNECTION_TYPE_WIFI:
            return "wifi";
        case CONNECTION_TYPE_CELLULAR:
            return "cellular";
        case CONNECTION_TYPE_ETHERNET:
            return "ethernet";
        case CONNECTION_TYPE_BT:
            return "bt";
        default:
            return "other";
    }
}

int runConnection(const std::vector<std::string>& args) {
    if (!args.empty()) {
        return ostractl::usageError("connection");
    }
    connection_h connection = nullptr;
    int result = connection_create(&connection);
    if (result != CONNECTION_ERROR_NONE) {
        fprintf(stderr, "connection_create failed: %d\n", result);
        return 1;
    }
    connection_type_e type = CONNECTION_TYPE_DISCONNECTED;
    result = connection_get_type(connection, &type);
    printf("type     %s\n", result == CONNECTION_ERROR_NONE ? typeName(type) : "unknown");
    char* proxy = nullptr;
    connection_get_proxy(connection, CONNECTION_ADDRESS_FAMILY_IPV4, &proxy);
    printf("proxy    %s\n", proxy && *proxy ? proxy : "(none)");
    free(proxy);
    char* caFile = ostra_connection_get_ca_file();
    printf("ca-file  %s\n", caFile ? caFile : "(none)");
    free(caFile);
    connection_destroy(connection);
    return 0;
}

}  // namespace

ostractl::Registrar connectionVerb({"connection", "",
                                    "connection type, HTTP proxy and CA bundle the programs use",
                                    runConnection});
