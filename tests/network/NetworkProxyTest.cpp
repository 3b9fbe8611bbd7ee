#include <gtest/gtest.h>

#include "NetworkProxy.h"
#include "NetworkTestSupport.h"
#include "TestHttpServer.h"
#include "TestSupport.h"

using testsupport::runUntil;
using testsupport::TestHttpServer;

namespace {

struct Heard {
    std::string kind;
    int id;
    std::string body;
};

class RecordingListener : public HttpNetworkEventListner {
  public:
    void OnHttpRequestCompleted(HttpReqID requestId) override {
        heard.push_back({"accepted", requestId, ""});
    }
    void OnHttpRequestFailed() override { heard.push_back({"rejected", -1, ""}); }
    void OnHttpRequestCancelCompleted() override { heard.push_back({"cancelled", -1, ""}); }
    void OnHttpResponseCompleted(HttpReqID requestId, Byte* body, int length) override {
        std::string text = body ? std::string(reinterpret_cast<char*>(body), length) : "";
        heard.push_back({body ? "response" : "empty-response", requestId, text});
    }
    void OnHttpResponseFailed(int requestId) override {
        heard.push_back({"failed", requestId, ""});
    }

    int lastAcceptedId() const {
        for (auto it = heard.rbegin(); it != heard.rend(); ++it) {
            if (it->kind == "accepted") {
                return it->id;
            }
        }
        return -1;
    }
    int answers() const {
        int n = 0;
        for (const auto& event : heard) {
            n +=
                event.kind == "response" || event.kind == "empty-response" || event.kind == "failed"
                    ? 1
                    : 0;
        }
        return n;
    }
    const Heard* find(const std::string& kind, int id) const {
        for (const auto& event : heard) {
            if (event.kind == kind && event.id == id) {
                return &event;
            }
        }
        return nullptr;
    }

    std::vector<Heard> heard;
};

NetProxyHttpReqData get(const std::string& url) {
    NetProxyHttpReqData data;
    data.SetUrlStr(url);
    return data;
}

class NetworkProxyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        nettest::clearProxyEnvironment();
        ASSERT_TRUE(server.running());
    }
    void TearDown() override {
        proxy->UnRegisterHttpNetworkEventListener(&first);
        proxy->UnRegisterHttpNetworkEventListener(&second);
    }

    testsupport::TempRoot root;
    TestHttpServer server;
    NetworkProxy* proxy = NetworkProxy::GetInstance();
    RecordingListener first;
    RecordingListener second;
};

TEST_F(NetworkProxyTest, ListenerIdsCountUpAndRestartWhenNoneIsLeft) {
    testsupport::LogCapture log;
    EXPECT_EQ(proxy->RegisterHttpNetworkEventListener(nullptr), -1);
    EXPECT_EQ(proxy->RegisterHttpNetworkEventListener(&first), 0);
    EXPECT_EQ(proxy->RegisterHttpNetworkEventListener(&second), 1);
    EXPECT_EQ(proxy->RegisterHttpNetworkEventListener(&first), 0);
    EXPECT_TRUE(log.contains("Already register listener"));

    proxy->UnRegisterHttpNetworkEventListener(0);
    EXPECT_EQ(proxy->RegisterHttpNetworkEventListener(&first), 2);
    proxy->UnRegisterHttpNetworkEventListener(&first);
    proxy->UnRegisterHttpNetworkEventListener(&second);
    EXPECT_EQ(proxy->RegisterHttpNetworkEventListener(&second), 0);
}

TEST_F(NetworkProxyTest, RequestIdsRestartOnceEveryRequestIsSettled) {
    testsupport::LogCapture log;
    int listenerId = proxy->RegisterHttpNetworkEventListener(&first);
    proxy->HttpRequest(get(server.url("/ok")), listenerId);
    EXPECT_EQ(first.lastAcceptedId(), 0);
    proxy->HttpRequest(get(server.url("/empty")), listenerId);
    EXPECT_EQ(first.lastAcceptedId(), 1);
    ASSERT_TRUE(runUntil([&] { return first.answers() == 2; }, 15000));
    const Heard* body = first.find("response", 0);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->body, "hello zentrel");
    // The body is logged by its length, not up to some NUL beyond it.
    EXPECT_TRUE(log.contains("Response body [hello zentrel]"));
    EXPECT_NE(first.find("empty-response", 1), nullptr);

    proxy->HttpRequest(get(server.url("/ok")), listenerId);
    EXPECT_EQ(first.lastAcceptedId(), 0);
    ASSERT_TRUE(runUntil([&] { return first.answers() == 3; }, 15000));

    // An unknown listener id sends nothing.
    proxy->HttpRequest(get(server.url("/ok")), 42);
    EXPECT_TRUE(log.contains("Invalid networkReqID"));
    EXPECT_EQ(first.heard.size(), 6u);
}

TEST_F(NetworkProxyTest, LastListenerLeavingResetsRequestIdsAndOrphanAnswersAreDropped) {
    int firstId = proxy->RegisterHttpNetworkEventListener(&first);
    int secondId = proxy->RegisterHttpNetworkEventListener(&second);
    proxy->HttpRequest(get(server.url("/slow?ms=300")), firstId);
    proxy->HttpRequest(get(server.url("/ok")), secondId);
    EXPECT_EQ(second.lastAcceptedId(), 1);
    proxy->UnRegisterHttpNetworkEventListener(firstId);
    // Both answers come in one report, so once the second listener has its
    // answer the first one's has been handled too: dropped.
    ASSERT_TRUE(runUntil([&] { return second.answers() == 1; }, 15000));
    EXPECT_EQ(first.answers(), 0);

    // With a request outstanding, the counter resets when the last listener leaves.
    proxy->HttpRequest(get(server.url("/slow?ms=300")), secondId);
    EXPECT_EQ(second.lastAcceptedId(), 0);
    proxy->UnRegisterHttpNetworkEventListener(&second);
    int again = proxy->RegisterHttpNetworkEventListener(&first);
    proxy->HttpRequest(get(server.url("/ok")), again);
    EXPECT_EQ(first.lastAcceptedId(), 1);
    ASSERT_TRUE(runUntil([&] { return first.answers() == 1; }, 15000));
    EXPECT_EQ(second.answers(), 1);
}

TEST_F(NetworkProxyTest, CancelAndFailuresReachTheCallerById) {
    testsupport::LogCapture log;
    int listenerId = proxy->RegisterHttpNetworkEventListener(&first);
    proxy->HttpRequest(get(server.url("/slow?ms=300")), listenerId);
    proxy->HttpRequest(get(""), listenerId);
    EXPECT_TRUE(log.contains("Invalid urlStr"));
    NetProxyHttpReqData post = get(server.url("/status/404"));
    post.SetDataFiledStr("x=1");
    post.AppendHeaderOptionStrItem("");
    post.AppendHeaderOptionStrItem("X-Zentrel: 1");
    proxy->HttpRequest(post, listenerId);
    EXPECT_EQ(first.lastAcceptedId(), 2);

    proxy->HttpCancel(0);
    EXPECT_EQ(first.heard.back().kind, "accepted");
    EXPECT_EQ(first.heard.back().id, 0);
    proxy->HttpCancel(77);
    EXPECT_TRUE(log.contains("Invalid reqID"));

    ASSERT_TRUE(runUntil([&] { return first.answers() == 2; }, 15000));
    EXPECT_NE(first.find("failed", 1), nullptr);
    EXPECT_NE(first.find("failed", 2), nullptr);
    EXPECT_EQ(first.find("response", 0), nullptr);
    EXPECT_EQ(log.count("optionStr : X-Zentrel: 1"), 1);
    EXPECT_EQ(log.count("optionStr : "), 1);

    // Nothing is outstanding any more, the cancelled one included.
    proxy->HttpRequest(get(server.url("/ok")), listenerId);
    EXPECT_EQ(first.lastAcceptedId(), 0);
    ASSERT_TRUE(runUntil([&] { return first.answers() == 3; }, 15000));
}

}  // namespace
