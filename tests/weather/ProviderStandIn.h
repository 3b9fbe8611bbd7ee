// Starts the local weather-provider stand-in (plain HTTP and HTTPS on
// loopback, with a throw-away CA made by openssl) and points the providers
// and the HTTP engine at it.
#pragma once

#include <string>

namespace testsupport {

class ProviderStandIn {
  public:
    // dir: a private directory for the certificates.
    explicit ProviderStandIn(const std::string& dir);
    ~ProviderStandIn();
    ProviderStandIn(const ProviderStandIn&) = delete;
    ProviderStandIn& operator=(const ProviderStandIn&) = delete;

    bool running() const { return _pid > 0 && _httpPort > 0 && _httpsPort > 0; }
    // normal, broken (truncated JSON), silent (never answers), error (HTTP 500)
    void setMode(const std::string& mode);
    // Requests served for one step ("twc-v3", "weathernews", "huafeng-location", ...).
    int served(const std::string& step);

  private:
    std::string _get(const std::string& path);

    int _pid = -1;
    int _stdin = -1;
    int _httpPort = 0;
    int _httpsPort = 0;
};

}  // namespace testsupport
