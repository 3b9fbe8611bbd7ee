#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "CurlNetworkConnection.h"
#include "NetworkTestSupport.h"
#include "TestHttpServer.h"
#include "TestSupport.h"

using nettest::makeRequest;
using testsupport::runUntil;
using testsupport::TestHttpServer;

namespace {

class CurlNetworkConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        nettest::clearProxyEnvironment();
        unsetenv("OSTRA_CA_FILE");
        engine.RegisterNetworkConnectionEventListener(&listener);
    }

    bool waitFinished(int count, int timeoutMs = 15000) {
        return runUntil([&] { return listener.finished() >= count; }, timeoutMs);
    }

    testsupport::TempRoot root;
    nettest::RecordingEngineListener listener;
    CurlNetworkConnection engine;
};

// A port nobody listens on: bound once, then closed.
int closedPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

TEST_F(CurlNetworkConnectionTest, ReportsBodiesAndTreatsEveryOtherStatusAsFailure) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    const std::vector<std::string> paths = {"/ok",         "/empty",      "/gzip",
                                            "/redirect",   "/status/204", "/status/304",
                                            "/status/404", "/status/500", "/truncated"};
    for (size_t i = 0; i < paths.size(); ++i) {
        engine.HttpRequest(makeRequest(static_cast<HttpReqID>(i), server.url(paths[i])));
    }
    // Each request is accepted before HttpRequest returns.
    ASSERT_EQ(listener.count("accepted"), static_cast<int>(paths.size()));
    ASSERT_TRUE(waitFinished(static_cast<int>(paths.size())));

    const auto* ok = listener.find("response", 0);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->body, "hello zentrel");
    const auto* empty = listener.find("response", 1);
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->nullBody);
    const auto* gzipped = listener.find("response", 2);
    ASSERT_NE(gzipped, nullptr);
    EXPECT_EQ(gzipped->body.rfind("{\"pressure\": 1013.25", 0), 0u) << gzipped->body;
    const auto* redirected = listener.find("response", 3);
    ASSERT_NE(redirected, nullptr);
    EXPECT_EQ(redirected->body, "hello zentrel");
    // 204/304/404/500 and a 200 whose body broke off are failures.
    for (HttpReqID id = 4; id <= 8; ++id) {
        EXPECT_NE(listener.find("failed", id), nullptr) << paths[id];
    }
    EXPECT_EQ(listener.count("response"), 4);
}

TEST_F(CurlNetworkConnectionTest, PostsTheBodyAndSendsOnlyNonEmptyHeaderLines) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    auto post = std::make_shared<CurlHttpRequestData>();
    post->SetRequestId(0);
    post->SetURLStr(server.url("/echo"));
    post->SetDataFieldStr("lat=37.5&lon=127.0");
    post->AppendCustomHeaderList("X-Zentrel: yes");
    post->AppendCustomHeaderList("");
    engine.HttpRequest(post);
    engine.HttpRequest(makeRequest(1, server.url("/echo")));
    ASSERT_TRUE(waitFinished(2));

    const auto* posted = listener.find("response", 0);
    ASSERT_NE(posted, nullptr);
    EXPECT_NE(posted->body.find("\"method\": \"POST\""), std::string::npos) << posted->body;
    EXPECT_NE(posted->body.find("\"body\": \"lat=37.5&lon=127.0\""), std::string::npos);
    EXPECT_NE(posted->body.find("\"x-zentrel\": \"yes\""), std::string::npos);
    const auto* got = listener.find("response", 1);
    ASSERT_NE(got, nullptr);
    EXPECT_NE(got->body.find("\"method\": \"GET\""), std::string::npos) << got->body;
    EXPECT_EQ(got->body.find("x-zentrel"), std::string::npos);
}

TEST_F(CurlNetworkConnectionTest, HttpsNeedsATrustedCertificateAndRefusedConnectionsFail) {
    TestHttpServer server(TestHttpServer::Scheme::Https);
    ASSERT_TRUE(server.running());
    testsupport::LogCapture log;

    // The system bundle does not know the test CA.
    engine.HttpRequest(makeRequest(0, server.url("/ok")));
    ASSERT_TRUE(waitFinished(1));
    EXPECT_NE(listener.find("failed", 0), nullptr);
    EXPECT_TRUE(log.contains("Response Error Code :0"));

    setenv("OSTRA_CA_FILE", server.caFile().c_str(), 1);
    engine.HttpRequest(makeRequest(1, server.url("/ok")));
    engine.HttpRequest(makeRequest(2, "http://127.0.0.1:" + std::to_string(closedPort()) + "/"));
    ASSERT_TRUE(waitFinished(3));
    const auto* trusted = listener.find("response", 1);
    ASSERT_NE(trusted, nullptr);
    EXPECT_EQ(trusted->body, "hello zentrel");
    EXPECT_NE(listener.find("failed", 2), nullptr);
}

TEST_F(CurlNetworkConnectionTest, OneBatchReportsInRequestOrderAfterEveryTransferEnded) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    engine.HttpRequest(makeRequest(7, server.url("/slow?ms=400")));
    engine.HttpRequest(makeRequest(3, server.url("/ok")));
    ASSERT_TRUE(waitFinished(2));
    // The fast answer waits for the slow one: both come in the order added.
    std::vector<HttpReqID> order;
    for (const auto& event : listener.events) {
        if (event.kind == "response") {
            order.push_back(event.id);
        }
    }
    EXPECT_EQ(order, (std::vector<HttpReqID>{7, 3}));
}

TEST_F(CurlNetworkConnectionTest, CancellingOneReportsItAcceptedAndNeverAnswersIt) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    testsupport::LogCapture log;
    engine.HttpRequest(makeRequest(1, server.url("/slow?ms=300")));
    engine.HttpRequest(makeRequest(2, server.url("/slow?ms=300")));
    engine.CancelHttpRequest(makeRequest(1, ""));
    EXPECT_EQ(listener.count("accepted"), 3);
    EXPECT_EQ(listener.events.back().kind, "accepted");
    EXPECT_EQ(listener.events.back().id, 1);

    engine.CancelHttpRequest(99);
    EXPECT_TRUE(log.contains("Failed find curl single easy session ptr"));

    ASSERT_TRUE(waitFinished(1));
    EXPECT_NE(listener.find("response", 2), nullptr);
    // Let a stray answer for the cancelled one show up if it were coming.
    engine.HttpRequest(makeRequest(3, server.url("/slow?ms=300")));
    ASSERT_TRUE(waitFinished(2));
    EXPECT_EQ(listener.find("response", 1), nullptr);
    EXPECT_EQ(listener.find("failed", 1), nullptr);
}

TEST_F(CurlNetworkConnectionTest, DiscardingEverythingRaisesNothingAndLeavesTheEngineUsable) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    engine.HttpRequest(makeRequest(1, server.url("/slow?ms=200")));
    engine.HttpRequest(makeRequest(2, server.url("/slow?ms=200")));
    // Let the worker start the transfers before they are thrown away.
    runUntil([&] { return server.requestLog().size() >= 2; }, 5000);
    engine.CancelAllHttpRequest();
    size_t eventsAfterDiscard = listener.events.size();
    EXPECT_EQ(eventsAfterDiscard, 2u);

    engine.HttpRequest(makeRequest(3, server.url("/slow?ms=600")));
    ASSERT_TRUE(waitFinished(1));
    EXPECT_NE(listener.find("response", 3), nullptr);
    EXPECT_EQ(listener.finished(), 1);
}

TEST_F(CurlNetworkConnectionTest, RequestAcceptedWhileTheBatchDrainsStillGetsItsAnswer) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    testsupport::LogCapture log;
    engine.HttpRequest(makeRequest(1, server.url("/ok")));
    // Without running the main loop, wait until the worker has left its
    // transfer loop and collects the results: the batch is now draining.
    gint64 deadline = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
    while (!log.contains("Remained count") && g_get_monotonic_time() < deadline) {
        g_usleep(1000);
    }
    ASSERT_TRUE(log.contains("Remained count"));
    engine.HttpRequest(makeRequest(2, server.url("/ok")));
    EXPECT_NE(listener.find("accepted", 2), nullptr);

    ASSERT_TRUE(waitFinished(2));
    EXPECT_NE(listener.find("response", 1), nullptr);
    const auto* late = listener.find("response", 2);
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->body, "hello zentrel");
}

TEST_F(CurlNetworkConnectionTest, WorksWithSocketsBeyondTheSelectLimit) {
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    const rlim_t wanted = FD_SETSIZE + 64;
    if (limit.rlim_max < wanted) {
        GTEST_SKIP() << "descriptor limit too low: " << limit.rlim_max;
    }
    limit.rlim_cur = wanted;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    // Occupy every descriptor below the limit so the transfer's socket lands above it.
    std::vector<int> fillers;
    for (;;) {
        int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            break;
        }
        fillers.push_back(fd);
        if (fd >= FD_SETSIZE - 1) {
            break;
        }
    }
    engine.HttpRequest(makeRequest(1, server.url("/slow?ms=100")));
    bool finished = waitFinished(1);
    for (int fd : fillers) {
        close(fd);
    }
    ASSERT_TRUE(finished);
    const auto* answer = listener.find("response", 1);
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer->body, "slow answer");
}

TEST_F(CurlNetworkConnectionTest, BatchThatCannotStartFailsAndLeavesNothingBehind) {
#ifdef __SANITIZE_ADDRESS__
    // The sanitizer runtime opens pipes of its own to check pointers and
    // misreports when none is left; the plain build runs this test.
    GTEST_SKIP() << "descriptor exhaustion confuses the sanitizer runtime";
#endif
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    rlimit original{};
    getrlimit(RLIMIT_NOFILE, &original);
    rlimit lowered = original;
    lowered.rlim_cur = std::min<rlim_t>(original.rlim_cur, 512);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    std::vector<int> fillers;
    for (int fd = open("/dev/null", O_RDONLY | O_CLOEXEC); fd >= 0;
         fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) {
        fillers.push_back(fd);
    }
    // Two descriptors are left: enough for the multi handle, none for the pipe.
    close(fillers.back());
    fillers.pop_back();
    close(fillers.back());
    fillers.pop_back();
    engine.HttpRequest(makeRequest(1, server.url("/ok")));
    std::vector<std::string> kinds;
    for (const auto& event : listener.events) {
        kinds.push_back(event.kind);
    }
    for (int fd : fillers) {
        close(fd);
    }
    setrlimit(RLIMIT_NOFILE, &original);
    EXPECT_EQ(kinds, (std::vector<std::string>{"accepted", "failed"}));

    // The failed batch is gone: the next request starts a working one.
    engine.HttpRequest(makeRequest(2, server.url("/ok")));
    ASSERT_TRUE(waitFinished(2));
    EXPECT_NE(listener.find("response", 2), nullptr);
}

TEST_F(CurlNetworkConnectionTest, ForeignRequestRecordsAreRefusedWithoutEvents) {
    testsupport::LogCapture log;
    engine.HttpRequest(nullptr);
    EXPECT_TRUE(log.contains("Invalid httpRequestDataPtr"));
    engine.CancelHttpRequest(1);
    EXPECT_TRUE(log.contains("Failed get curl multi session"));
    EXPECT_TRUE(listener.events.empty());
}

}  // namespace
