#include "TestHttpServer.h"

#include <glib.h>
#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSupport.h"

namespace testsupport {

TestHttpServer::TestHttpServer(Scheme scheme, const std::string& routesJson) : _scheme(scheme) {
    char pattern[] = "/tmp/zentrel-http-XXXXXX";
    char* dir = mkdtemp(pattern);
    if (!dir) {
        return;
    }
    _dir = dir;
    gchar* python = g_find_program_in_path("python3");
    if (!python) {
        return;
    }
    std::vector<std::string> argv = {python,          HTTP_TEST_SERVER_PATH,
                                     "--port-file",   _dir + "/port",
                                     "--request-log", _dir + "/requests.jsonl"};
    g_free(python);
    if (scheme == Scheme::Https) {
        argv.insert(argv.end(), {"--tls-dir", _dir + "/tls"});
    }
    if (!routesJson.empty()) {
        std::ofstream(_dir + "/routes.json") << routesJson;
        argv.insert(argv.end(), {"--routes", _dir + "/routes.json"});
    }
    _pid = spawnProgram(argv);
    // The port file appears once the server accepts connections; making the
    // certificates comes first, so allow some seconds.
    runUntil(
        [this] {
            std::ifstream in(_dir + "/port");
            return static_cast<bool>(in >> _port);
        },
        15000);
}

TestHttpServer::~TestHttpServer() {
    if (_pid > 0) {
        kill(_pid, SIGTERM);
        waitProgram(_pid);
    }
    if (!_dir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(_dir, ignored);
    }
}

std::string TestHttpServer::url(const std::string& path) const {
    return std::string(_scheme == Scheme::Https ? "https" : "http") +
           "://127.0.0.1:" + std::to_string(_port) + path;
}

std::vector<std::string> TestHttpServer::requestLog() const {
    std::vector<std::string> lines;
    std::ifstream in(_dir + "/requests.jsonl");
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace testsupport
