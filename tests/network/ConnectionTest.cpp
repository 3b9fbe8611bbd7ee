#include <gtest/gtest.h>
#include <ostra/connection.h>
#include <stdlib.h>

#include "CurlNetworkConnection.h"
#include "NetworkTestSupport.h"
#include "TestHttpServer.h"
#include "TestSupport.h"

using testsupport::runUntil;
using testsupport::TestHttpServer;

namespace {

std::string proxyOf(connection_h connection) {
    char* address = nullptr;
    EXPECT_EQ(connection_get_proxy(connection, CONNECTION_ADDRESS_FAMILY_IPV4, &address),
              CONNECTION_ERROR_NONE);
    std::string text = address ? address : "<null>";
    free(address);
    return text;
}

TEST(Connection, ProxyComesFromTheEnvironmentInItsUsualOrder) {
    nettest::clearProxyEnvironment();
    connection_h connection = nullptr;
    ASSERT_EQ(connection_create(&connection), CONNECTION_ERROR_NONE);
    EXPECT_EQ(proxyOf(connection), "");
    setenv("HTTP_PROXY", "http://upper:8080", 1);
    EXPECT_EQ(proxyOf(connection), "http://upper:8080");
    setenv("http_proxy", "lower:3128", 1);
    EXPECT_EQ(proxyOf(connection), "lower:3128");
    setenv("https_proxy", "", 1);
    EXPECT_EQ(proxyOf(connection), "lower:3128");
    setenv("https_proxy", "http://secure:443", 1);
    EXPECT_EQ(proxyOf(connection), "http://secure:443");

    char* address = nullptr;
    EXPECT_EQ(connection_get_proxy(connection, CONNECTION_ADDRESS_FAMILY_IPV6, &address),
              CONNECTION_ERROR_ADDRESS_FAMILY_NOT_SUPPORTED);
    EXPECT_EQ(connection_get_proxy(nullptr, CONNECTION_ADDRESS_FAMILY_IPV4, &address),
              CONNECTION_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(connection_destroy(connection), CONNECTION_ERROR_NONE);
    nettest::clearProxyEnvironment();
}

TEST(Connection, CaBundleAndConnectionType) {
    unsetenv("OSTRA_CA_FILE");
    char* path = ostra_connection_get_ca_file();
    EXPECT_STREQ(path, "/etc/ssl/certs/ca-certificates.crt");
    free(path);
    setenv("OSTRA_CA_FILE", "/tmp/test-ca.pem", 1);
    path = ostra_connection_get_ca_file();
    EXPECT_STREQ(path, "/tmp/test-ca.pem");
    free(path);
    unsetenv("OSTRA_CA_FILE");

    connection_h connection = nullptr;
    ASSERT_EQ(connection_create(&connection), CONNECTION_ERROR_NONE);
    connection_type_e type = CONNECTION_TYPE_NET_PROXY;
    unsetenv("OSTRA_CONNECTION_TYPE");
    ASSERT_EQ(connection_get_type(connection, &type), CONNECTION_ERROR_NONE);
    // The host's monitor only tells available, metered or neither.
    EXPECT_TRUE(type == CONNECTION_TYPE_DISCONNECTED || type == CONNECTION_TYPE_CELLULAR ||
                type == CONNECTION_TYPE_ETHERNET)
        << type;
    connection_type_e hostType = type;

    setenv("OSTRA_CONNECTION_TYPE", "cellular", 1);
    ASSERT_EQ(connection_get_type(connection, &type), CONNECTION_ERROR_NONE);
    EXPECT_EQ(type, CONNECTION_TYPE_CELLULAR);
    setenv("OSTRA_CONNECTION_TYPE", "disconnected", 1);
    ASSERT_EQ(connection_get_type(connection, &type), CONNECTION_ERROR_NONE);
    EXPECT_EQ(type, CONNECTION_TYPE_DISCONNECTED);
    testsupport::LogCapture log;
    setenv("OSTRA_CONNECTION_TYPE", "carrier-pigeon", 1);
    ASSERT_EQ(connection_get_type(connection, &type), CONNECTION_ERROR_NONE);
    EXPECT_EQ(type, hostType);
    EXPECT_TRUE(log.contains("carrier-pigeon"));
    unsetenv("OSTRA_CONNECTION_TYPE");
    EXPECT_EQ(connection_get_type(nullptr, &type), CONNECTION_ERROR_INVALID_PARAMETER);
    connection_destroy(connection);
}

TEST(Connection, EngineSendsThroughTheSystemProxyUnlessItIsTheNullAddress) {
    testsupport::TempRoot root;
    nettest::clearProxyEnvironment();
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    nettest::RecordingEngineListener listener;
    CurlNetworkConnection engine;
    engine.RegisterNetworkConnectionEventListener(&listener);

    // The test server answers proxy-form requests itself, so nothing leaves the machine.
    setenv("http_proxy", server.url("").c_str(), 1);
    engine.HttpRequest(nettest::makeRequest(1, "http://zentrel.invalid/weather"));
    ASSERT_TRUE(runUntil([&] { return listener.finished() == 1; }, 15000));
    const auto* proxied = listener.find("response", 1);
    ASSERT_NE(proxied, nullptr);
    EXPECT_EQ(proxied->body, "proxied http://zentrel.invalid/weather");

    testsupport::LogCapture log;
    setenv("http_proxy", "0.0.0.0", 1);
    engine.HttpRequest(nettest::makeRequest(2, server.url("/ok")));
    setenv("http_proxy", "http://0.0.0.0", 1);
    engine.HttpRequest(nettest::makeRequest(3, server.url("/ok")));
    ASSERT_TRUE(runUntil([&] { return listener.finished() == 3; }, 15000));
    EXPECT_NE(listener.find("response", 2), nullptr);
    EXPECT_NE(listener.find("response", 3), nullptr);
    EXPECT_EQ(log.count("Invalid proxy address"), 2);

    // no_proxy still applies to the proxy the engine sets.
    setenv("http_proxy", "http://127.0.0.1:9", 1);
    setenv("no_proxy", "127.0.0.1", 1);
    engine.HttpRequest(nettest::makeRequest(4, server.url("/ok")));
    ASSERT_TRUE(runUntil([&] { return listener.finished() == 4; }, 15000));
    EXPECT_NE(listener.find("response", 4), nullptr);
    nettest::clearProxyEnvironment();
}

}  // namespace

namespace {

TEST(Connection, OstractlShowsWhatTheProgramsSee) {
    nettest::clearProxyEnvironment();
    setenv("OSTRA_CONNECTION_TYPE", "wifi", 1);
    setenv("https_proxy", "http://proxy.test:3128", 1);
    setenv("OSTRA_CA_FILE", "/tmp/own-ca.pem", 1);
    std::string output;
    EXPECT_EQ(testsupport::runProgram({OSTRACTL_PATH, "connection"}, &output), 0);
    EXPECT_NE(output.find("type     wifi\n"), std::string::npos) << output;
    EXPECT_NE(output.find("proxy    http://proxy.test:3128\n"), std::string::npos) << output;
    EXPECT_NE(output.find("ca-file  /tmp/own-ca.pem\n"), std::string::npos) << output;
    unsetenv("OSTRA_CONNECTION_TYPE");
    unsetenv("OSTRA_CA_FILE");
    nettest::clearProxyEnvironment();
}

}  // namespace
