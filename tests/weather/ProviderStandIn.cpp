#include "ProviderStandIn.h"

#include <gio/gio.h>
#include <json-glib/json-glib.h>
#include <ostra/vconf.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "TestSupport.h"
#include "WeatherCp.h"
#include "WeatherCpHuafengAccu.h"

namespace testsupport {

namespace {

bool makeCertificates(const std::string& dir) {
    std::string script =
        "set -e; cd '" + dir +
        "';"
        "openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 "
        "  -subj '/CN=Zentrel Test CA' >/dev/null 2>&1;"
        "openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr "
        "  -subj '/CN=127.0.0.1' >/dev/null 2>&1;"
        "printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\\n' > san.ext;"
        "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial "
        "  -out server.pem -days 2 -extfile san.ext >/dev/null 2>&1";
    return runProgram({"/bin/sh", "-c", script}) == 0;
}

}  // namespace

ProviderStandIn::ProviderStandIn(const std::string& dir) {
    if (!makeCertificates(dir)) {
        return;
    }
    WeatherCpHuafengAccu china;
    std::string apiKey = china.GetApiKeyString(HUA_KEY_TYPE_API);
    std::string secret = china.GetApiKeyString(HUA_KEY_TYPE_SECRET);
    std::string cert = dir + "/server.pem";
    std::string key = dir + "/server.key";
    const gchar* argv[] = {
        "/usr/bin/python3", PROVIDER_STANDIN_PATH, "--cert",   cert.c_str(),   "--key", key.c_str(),
        "--api-key",        apiKey.c_str(),        "--secret", secret.c_str(), nullptr};
    GPid pid = 0;
    int out = -1;
    if (!g_spawn_async_with_pipes(nullptr, const_cast<gchar**>(argv), nullptr,
                                  G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr, &pid, &_stdin, &out,
                                  nullptr, nullptr)) {
        return;
    }
    _pid = pid;
    FILE* stream = fdopen(out, "r");
    char line[128] = {0};
    if (stream && fgets(line, sizeof(line), stream)) {
        sscanf(line, "http=%d https=%d", &_httpPort, &_httpsPort);
    }
    if (stream) {
        fclose(stream);
    }
    setenv("OSTRA_CA_FILE", (dir + "/ca.pem").c_str(), 1);
    std::string plain = "127.0.0.1:" + std::to_string(_httpPort);
    std::string secure = "127.0.0.1:" + std::to_string(_httpsPort);
    vconf_set_str(WEATHER_HOST_KEY_TWC, secure.c_str());
    vconf_set_str(WEATHER_HOST_KEY_WEATHERNEWS, plain.c_str());
    vconf_set_str(WEATHER_HOST_KEY_HUAFENG_LOCATION, plain.c_str());
    vconf_set_str(WEATHER_HOST_KEY_HUAFENG, secure.c_str());
}

ProviderStandIn::~ProviderStandIn() {
    if (_stdin >= 0) {
        close(_stdin);  // the stand-in ends when its stdin closes
    }
    if (_pid > 0) {
        int status = 0;
        for (int i = 0; i < 50 && waitpid(_pid, &status, WNOHANG) == 0; ++i) {
            g_usleep(20000);
        }
        if (waitpid(_pid, &status, WNOHANG) == 0) {
            kill(_pid, SIGKILL);
            waitpid(_pid, &status, 0);
        }
    }
    unsetenv("OSTRA_CA_FILE");
}

std::string ProviderStandIn::_get(const std::string& path) {
    GSocketClient* client = g_socket_client_new();
    GSocketConnection* connection =
        g_socket_client_connect_to_host(client, "127.0.0.1", _httpPort, nullptr, nullptr);
    std::string body;
    if (connection) {
        std::string request = "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        GOutputStream* output = g_io_stream_get_output_stream(G_IO_STREAM(connection));
        g_output_stream_write_all(output, request.data(), request.size(), nullptr, nullptr,
                                  nullptr);
        GInputStream* input = g_io_stream_get_input_stream(G_IO_STREAM(connection));
        std::string response;
        char buffer[4096];
        gssize n;
        while ((n = g_input_stream_read(input, buffer, sizeof(buffer), nullptr, nullptr)) > 0) {
            response.append(buffer, static_cast<size_t>(n));
        }
        size_t start = response.find("\r\n\r\n");
        body = start == std::string::npos ? "" : response.substr(start + 4);
        g_object_unref(connection);
    }
    g_object_unref(client);
    return body;
}

void ProviderStandIn::setMode(const std::string& mode) {
    _get("/_control?mode=" + mode);
}

int ProviderStandIn::served(const std::string& step) {
    std::string body = _get("/_stats");
    JsonParser* parser = json_parser_new();
    int result = 0;
    if (json_parser_load_from_data(parser, body.c_str(), -1, nullptr)) {
        JsonObject* counts = json_node_get_object(json_parser_get_root(parser));
        if (counts && json_object_has_member(counts, step.c_str())) {
            result = static_cast<int>(json_object_get_int_member(counts, step.c_str()));
        }
    }
    g_object_unref(parser);
    return result;
}

}  // namespace testsupport
