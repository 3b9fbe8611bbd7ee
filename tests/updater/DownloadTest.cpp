#include <gtest/gtest.h>
#include <ostra/download.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestHttpServer.h"
#include "TestSupport.h"

using testsupport::TempRoot;
using testsupport::TestHttpServer;

namespace {

struct Seen {
    std::vector<download_state_e> states;
    unsigned long long received = 0;
    bool ended() const {
        return !states.empty() && (states.back() == DOWNLOAD_STATE_COMPLETED ||
                                   states.back() == DOWNLOAD_STATE_FAILED);
    }
};

void onState(int, download_state_e state, void* data) {
    static_cast<Seen*>(data)->states.push_back(state);
}

// Whether libcurl is mapped into this process.
bool curlLoaded() {
    gchar* maps = nullptr;
    g_file_get_contents("/proc/self/maps", &maps, nullptr, nullptr);
    bool loaded = maps && strstr(maps, "/libcurl");
    g_free(maps);
    return loaded;
}

void onProgress(int, unsigned long long received, void* data) {
    static_cast<Seen*>(data)->received = received;
}

class DownloadTest : public ::testing::Test {
  protected:
    // Downloads url into the root as "answer.txt" and waits for its end.
    int fetch(const std::string& url, Seen* seen) {
        int id = -1;
        EXPECT_EQ(download_create(&id), DOWNLOAD_ERROR_NONE);
        download_set_url(id, url.c_str());
        download_set_destination(id, root.path().c_str());
        download_set_file_name(id, "answer.txt");
        download_set_state_changed_cb(id, onState, seen);
        download_set_progress_cb(id, onProgress, seen);
        EXPECT_EQ(download_start(id), DOWNLOAD_ERROR_NONE);
        EXPECT_TRUE(testsupport::runUntil([&] { return seen->ended(); }, 15000)) << url;
        return id;
    }
    std::string file() const { return root.path() + "/answer.txt"; }
    bool exists(const std::string& path) const {
        return g_file_test(path.c_str(), G_FILE_TEST_EXISTS);
    }

    TempRoot root;
};

TEST_F(DownloadTest, CompletedTransferReportsEachStateOnTheMainLoopAndWritesTheFile) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    // The platform loads libcurl for its first transfer, not at start-up.
    EXPECT_FALSE(curlLoaded());
    Seen seen;
    int id = fetch(server.url("/ok"), &seen);
    EXPECT_TRUE(curlLoaded());
    std::vector<download_state_e> expected = {DOWNLOAD_STATE_QUEUED, DOWNLOAD_STATE_DOWNLOADING,
                                              DOWNLOAD_STATE_COMPLETED};
    EXPECT_EQ(seen.states, expected);
    EXPECT_EQ(seen.received, 13u);
    EXPECT_EQ(testsupport::readFile(file()), "hello zentrel");
    download_state_e state = DOWNLOAD_STATE_NONE;
    EXPECT_EQ(download_get_state(id, &state), DOWNLOAD_ERROR_NONE);
    EXPECT_EQ(state, DOWNLOAD_STATE_COMPLETED);
    EXPECT_EQ(download_destroy(id), DOWNLOAD_ERROR_NONE);
    EXPECT_EQ(download_get_state(id, &state), DOWNLOAD_ERROR_ID_NOT_FOUND);
}

TEST_F(DownloadTest, CutShortRefusedOrUnreachableEndInFailedAndLeaveNoFile) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    for (const std::string& url :
         {server.url("/truncated"), server.url("/status/404"), server.url("/status/500"),
          std::string("http://127.0.0.1:1/x")}) {
        Seen seen;
        int id = fetch(url, &seen);
        ASSERT_FALSE(seen.states.empty()) << url;
        EXPECT_EQ(seen.states.back(), DOWNLOAD_STATE_FAILED) << url;
        EXPECT_FALSE(exists(file())) << url;
        EXPECT_FALSE(exists(file() + ".part")) << url;
        download_destroy(id);
    }
}

TEST_F(DownloadTest, HttpsPeerIsVerifiedAgainstTheConfiguredCa) {
    TestHttpServer server(TestHttpServer::Scheme::Https);
    ASSERT_TRUE(server.running());
    Seen untrusted;
    download_destroy(fetch(server.url("/ok"), &untrusted));
    EXPECT_EQ(untrusted.states.back(), DOWNLOAD_STATE_FAILED);
    setenv("OSTRA_CA_FILE", server.caFile().c_str(), 1);
    Seen trusted;
    download_destroy(fetch(server.url("/ok"), &trusted));
    unsetenv("OSTRA_CA_FILE");
    EXPECT_EQ(trusted.states.back(), DOWNLOAD_STATE_COMPLETED);
    EXPECT_EQ(testsupport::readFile(file()), "hello zentrel");
}

TEST_F(DownloadTest, DestroyStopsARunningTransferAndSilencesItsCallbacks) {
    TestHttpServer server;
    ASSERT_TRUE(server.running());
    Seen seen;
    int id = -1;
    ASSERT_EQ(download_create(&id), DOWNLOAD_ERROR_NONE);
    download_set_url(id, server.url("/slow?ms=5000").c_str());
    download_set_destination(id, root.path().c_str());
    download_set_state_changed_cb(id, onState, &seen);
    EXPECT_EQ(download_start(id), DOWNLOAD_ERROR_NONE);
    EXPECT_EQ(download_start(id), DOWNLOAD_ERROR_INVALID_STATE);
    gint64 before = g_get_monotonic_time();
    EXPECT_EQ(download_destroy(id), DOWNLOAD_ERROR_NONE);
    EXPECT_LT(g_get_monotonic_time() - before, 4 * G_USEC_PER_SEC);
    testsupport::runUntil([] { return false; }, 300);
    EXPECT_TRUE(seen.states.empty());
    // The file name defaults to the URL's last segment; it never appeared.
    EXPECT_FALSE(exists(root.path() + "/slow"));
}

TEST_F(DownloadTest, BadCallsAreRefused) {
    int id = -1;
    EXPECT_EQ(download_create(nullptr), DOWNLOAD_ERROR_INVALID_PARAMETER);
    ASSERT_EQ(download_create(&id), DOWNLOAD_ERROR_NONE);
    EXPECT_EQ(download_start(id), DOWNLOAD_ERROR_INVALID_URL);
    EXPECT_EQ(download_set_url(id, ""), DOWNLOAD_ERROR_INVALID_URL);
    EXPECT_EQ(download_set_file_name(id, nullptr), DOWNLOAD_ERROR_INVALID_PARAMETER);
    download_set_url(id, "http://127.0.0.1:1/x");
    download_set_file_name(id, "../escape");
    EXPECT_EQ(download_start(id), DOWNLOAD_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(download_destroy(id), DOWNLOAD_ERROR_NONE);
    EXPECT_EQ(download_destroy(id), DOWNLOAD_ERROR_ID_NOT_FOUND);
    EXPECT_EQ(download_set_url(id + 100, "http://x/"), DOWNLOAD_ERROR_ID_NOT_FOUND);
}

}  // namespace
