#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "CurlNetworkConnection.h"
#include "NetworkTestSupport.h"
#include "TestHttpServer.h"
#include "TestSupport.h"

using nettest::makeRequest;
using testsupport::LogCapture;
using testsupport::runUntil;
using testsupport::TestHttpServer;

namespace {
int gGlobalInits = 0;
int gGlobalCleanups = 0;
}  // namespace

// Counted stand-ins for libcurl's process-wide set-up, forwarding to the real ones.
extern "C" CURLcode curl_global_init(long flags) {
    ++gGlobalInits;
    using Init = CURLcode (*)(long);
    static Init real = reinterpret_cast<Init>(dlsym(RTLD_NEXT, "curl_global_init"));
    return real(flags);
}

extern "C" void curl_global_cleanup() {
    ++gGlobalCleanups;
    using Cleanup = void (*)();
    static Cleanup real = reinterpret_cast<Cleanup>(dlsym(RTLD_NEXT, "curl_global_cleanup"));
    real();
}

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A loopback listener whose accept queue is full, so the kernel drops any
// further connection attempt: a connect to it hangs.
class FullListener {
  public:
    FullListener() {
        _fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        bind(_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        listen(_fd, 0);
        getsockname(_fd, reinterpret_cast<sockaddr*>(&address), &length);
        _port = ntohs(address.sin_port);
        for (int i = 0; i < 16 && !_full; ++i) {
            int client = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            _clients.push_back(client);
            connect(client, reinterpret_cast<sockaddr*>(&address), sizeof(address));
            pollfd wait{client, POLLOUT, 0};
            _full = poll(&wait, 1, 200) == 0;
        }
    }
    ~FullListener() {
        for (int client : _clients) {
            close(client);
        }
        close(_fd);
    }
    bool full() const { return _full; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(_port) + "/"; }

  private:
    int _fd = -1;
    int _port = 0;
    bool _full = false;
    std::vector<int> _clients;
};

class TransferLimitsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        nettest::clearProxyEnvironment();
        unsetenv("OSTRA_CA_FILE");
        engine.RegisterNetworkConnectionEventListener(&listener);
    }

    // Sends one request under the given limits and waits (at most 15 s) for
    // its end; returns the seconds it took, or -1 when it never ended.
    double timeOne(HttpReqID id, const std::string& url, const CurlNetworkConnection::Limits& l) {
        engine.SetLimits(l);
        Clock::time_point start = Clock::now();
        engine.HttpRequest(makeRequest(id, url));
        int before = listener.finished();
        bool ended = runUntil([&] { return listener.finished() > before; }, 15000);
        return ended ? secondsSince(start) : -1.0;
    }

    testsupport::TempRoot root;
    nettest::RecordingEngineListener listener;
    CurlNetworkConnection engine;
};

TEST_F(TransferLimitsTest, SilentStallingAndUnreachableServersFailWithinTheirLimits) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    LogCapture log;
    CurlNetworkConnection::Limits quiet;
    quiet.stallBytesPerSecond = 0;

    // A steady 50 bytes a second for 20 s: only the total limit ends it.
    CurlNetworkConnection::Limits total = quiet;
    total.totalTimeoutMs = 1000;
    double took = timeOne(1, server.url("/drip?bytes=1000&ms=20"), total);
    EXPECT_GT(took, 0.9);
    EXPECT_LT(took, 6.0);
    EXPECT_NE(listener.find("failed", 1), nullptr);

    // Three bytes a second, and a server that never answers at all: stalls.
    CurlNetworkConnection::Limits stall;
    stall.stallBytesPerSecond = 100;
    stall.stallSeconds = 1;
    took = timeOne(2, server.url("/drip?bytes=100&ms=300"), stall);
    EXPECT_GT(took, 0.9);
    EXPECT_LT(took, 6.0);
    EXPECT_NE(listener.find("failed", 2), nullptr);
    took = timeOne(3, server.url("/slow?ms=10000"), stall);
    EXPECT_LT(took, 6.0);
    EXPECT_GT(took, 0.0);
    EXPECT_NE(listener.find("failed", 3), nullptr);

    FullListener unreachable;
    ASSERT_TRUE(unreachable.full());
    CurlNetworkConnection::Limits connect = quiet;
    connect.connectTimeoutMs = 300;
    took = timeOne(4, unreachable.url(), connect);
    EXPECT_LT(took, 6.0);
    EXPECT_GT(took, 0.0);
    EXPECT_NE(listener.find("failed", 4), nullptr);
    EXPECT_EQ(log.count("Transfer failed : Timeout was reached"), 4);

    // The same limits leave an ordinary answer alone.
    timeOne(5, server.url("/slow?ms=200"), stall);
    ASSERT_NE(listener.find("response", 5), nullptr);
    EXPECT_EQ(listener.find("response", 5)->body, "slow answer");
}

TEST_F(TransferLimitsTest, BodiesBeyondTheLimitFailWhetherDeclaredOrNot) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    LogCapture log;
    CurlNetworkConnection::Limits limits;
    limits.maxBodyBytes = 1 << 20;
    engine.SetLimits(limits);
    engine.HttpRequest(makeRequest(1, server.url("/big?mb=64")));
    engine.HttpRequest(makeRequest(2, server.url("/big?mb=64&chunked=1")));
    // Exactly the limit is still an answer.
    engine.HttpRequest(makeRequest(3, server.url("/big?mb=1&chunked=1")));
    ASSERT_TRUE(runUntil([&] { return listener.finished() == 3; }, 15000));
    EXPECT_NE(listener.find("failed", 1), nullptr);
    EXPECT_NE(listener.find("failed", 2), nullptr);
    EXPECT_TRUE(log.contains("Transfer failed : Maximum file size exceeded"));
    EXPECT_TRUE(log.contains("Body passes the limit of 1048576 bytes"));
    const auto* whole = listener.find("response", 3);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->body, std::string(1 << 20, 'x'));
}

TEST_F(TransferLimitsTest, RedirectsAreCountedAndNeverLeadFromHttpsToHttp) {
    TestHttpServer plain;
    TestHttpServer secure(TestHttpServer::Scheme::Https);
    ASSERT_TRUE(plain.running());
    ASSERT_TRUE(secure.running());
    setenv("OSTRA_CA_FILE", secure.caFile().c_str(), 1);
    CurlNetworkConnection::Limits limits;
    limits.maxRedirects = 3;
    engine.SetLimits(limits);
    engine.HttpRequest(makeRequest(1, plain.url("/loop")));
    engine.HttpRequest(makeRequest(2, secure.url("/redirect?to=" + plain.url("/echo"))));
    engine.HttpRequest(makeRequest(3, secure.url("/redirect")));
    engine.HttpRequest(makeRequest(4, plain.url("/redirect?to=" + secure.url("/ok"))));
    ASSERT_TRUE(runUntil([&] { return listener.finished() == 4; }, 15000));

    EXPECT_NE(listener.find("failed", 1), nullptr);
    int loops = 0;
    for (const auto& line : plain.requestLog()) {
        loops += line.find("\"/loop\"") != std::string::npos ? 1 : 0;
        EXPECT_EQ(line.find("/echo"), std::string::npos) << "followed https to http";
    }
    EXPECT_EQ(loops, 4);
    EXPECT_NE(listener.find("failed", 2), nullptr);
    // Within https, and from http up to https, redirects are followed.
    ASSERT_NE(listener.find("response", 3), nullptr);
    EXPECT_EQ(listener.find("response", 3)->body, "hello zentrel");
    ASSERT_NE(listener.find("response", 4), nullptr);
    EXPECT_EQ(listener.find("response", 4)->body, "hello zentrel");
}

TEST_F(TransferLimitsTest, CancelDuringABusyTransferReturnsPromptly) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    CurlNetworkConnection::Limits limits;
    limits.maxBodyBytes = size_t{128} << 20;
    engine.SetLimits(limits);
    // 64 MiB at 100 MiB a second: the transfer still runs when cancelled.
    engine.HttpRequest(makeRequest(1, server.url("/big?mb=64&chunked=1&ms=10")));
    ASSERT_TRUE(runUntil([&] { return !server.requestLog().empty(); }, 5000));
    g_usleep(200 * 1000);
    Clock::time_point start = Clock::now();
    engine.CancelHttpRequest(1);
    double took = secondsSince(start);
    EXPECT_LT(took, 1.0);
    EXPECT_EQ(listener.events.back().kind, "accepted");

    // The engine goes on, and the cancelled transfer is never reported.
    engine.HttpRequest(makeRequest(2, server.url("/ok")));
    ASSERT_TRUE(runUntil([&] { return listener.finished() == 1; }, 15000));
    EXPECT_NE(listener.find("response", 2), nullptr);
    EXPECT_EQ(listener.find("response", 1), nullptr);
    EXPECT_EQ(listener.find("failed", 1), nullptr);
}

TEST_F(TransferLimitsTest, LibcurlIsSetUpOncePerProcessAndNeverTornDown) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    int inits = gGlobalInits;
    {
        CurlNetworkConnection first;
        CurlNetworkConnection second;
    }
    EXPECT_EQ(gGlobalInits, inits);
    EXPECT_LE(gGlobalInits, 1);
    EXPECT_EQ(gGlobalCleanups, 0);
    // The engine built first still works after the others are gone.
    engine.HttpRequest(makeRequest(1, server.url("/ok")));
    ASSERT_TRUE(runUntil([&] { return listener.finished() == 1; }, 15000));
    EXPECT_NE(listener.find("response", 1), nullptr);
}

}  // namespace
