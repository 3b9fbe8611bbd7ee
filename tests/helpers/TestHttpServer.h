// Starts tests/helpers/http_test_server.py on a free loopback port for the
// lifetime of the object; with HTTPS it makes a throw-away CA first. Canned
// answers (for example a weather provider's JSON) can be added with a routes
// file; see the script's help for the built-in paths.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

class TestHttpServer {
  public:
    enum class Scheme { Http, Https };

    // routesJson: a JSON object of canned answers, written to a file for the
    // server (empty for none).
    explicit TestHttpServer(Scheme scheme = Scheme::Http, const std::string& routesJson = "");
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool running() const { return _port > 0; }
    int port() const { return _port; }
    // "http://127.0.0.1:<port><path>" (https for an HTTPS server).
    std::string url(const std::string& path) const;
    // The CA that signed the HTTPS server's certificate.
    std::string caFile() const { return _dir + "/tls/ca.pem"; }
    // One JSON line per request the server received, oldest first.
    std::vector<std::string> requestLog() const;

  private:
    Scheme _scheme;
    std::string _dir;
    int _pid = -1;
    int _port = 0;
};

}  // namespace testsupport
