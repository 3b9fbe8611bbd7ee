#include <gtest/gtest.h>
#include <ostra/efl_extension.h>
#include <ostra/ostra_efl.h>
#include <ostra/vconf.h>

#include <ctime>
#include <string>

#include "TestHttpServer.h"
#include "UiTestSupport.h"
#include "ZentrelStorageMgr.h"
#include "ZentrelUpdater.h"

using testsupport::TempRoot;
using testsupport::TestHttpServer;

namespace {

constexpr long long kHour = 3600;

std::string answer(const std::string& root, const std::string& code, const std::string& version) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + root +
                      "><appId>com.zentrel.altimeter</appId><resultCode>" + code +
                      "</resultCode><resultMsg>ok</resultMsg><versionName>" + version +
                      "</versionName></" + root + ">";
    gchar* escaped = g_strescape(xml.c_str(), nullptr);
    std::string route = R"({"/stub/stubUpdateCheck.as":{"content_type":"text/xml","body":")" +
                        std::string(escaped) + "\"}}";
    g_free(escaped);
    return route;
}

// The installed version is the build's (1.0.0: version code 100000000).
class UpdaterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        elm_theme_extension_add(nullptr, RES_DIR "/edje/zentrel.edj");
        window = uitest::addWindow("updater");
    }
    void TearDown() override { evas_object_del(window); }
    void serveFrom(const TestHttpServer& server) {
        ASSERT_TRUE(server.running());
        vconf_set_str(ZENTREL_UPDATE_HOST_KEY,
                      ("127.0.0.1:" + std::to_string(server.port())).c_str());
    }
    Evas_Object* popup() {
        return evas_object_name_find(evas_object_evas_get(window), ZENTREL_UPDATE_POPUP_NAME);
    }
    // Runs the loop until the check saved its time (or a moment, when none is due).
    bool checkFinished(long long previous) {
        return uitest::runLoopUntil([&] { return storage()->getLastStoreCheckTime() != previous; },
                                    10000);
    }
    void settle() {
        uitest::runLoopUntil([] { return false; }, 300);
    }
    static ZentrelStorageMgr* storage() { return ZentrelStorageMgr::getInstance(); }
    static long long now() { return static_cast<long long>(time(nullptr)); }

    TempRoot root;
    uitest::ElmBuffer elm;
    Evas_Object* window = nullptr;
};

TEST_F(UpdaterTest, KnownStoreVersionDecidesWithoutAQuery) {
    TestHttpServer server(TestHttpServer::Scheme::Http, answer("result", "2", "9.9.9"));
    serveFrom(server);
    ZentrelUpdater updater;
    storage()->saveStoreAppVersion(-1);
    updater.startDownloadManager(window);
    settle();
    EXPECT_EQ(popup(), nullptr);
    storage()->saveStoreAppVersion(100000000);
    updater.startDownloadManager(window);
    settle();
    EXPECT_EQ(popup(), nullptr);
    storage()->saveStoreAppVersion(100000001);
    updater.startDownloadManager(window);
    settle();
    ASSERT_NE(popup(), nullptr);
    EXPECT_TRUE(server.requestLog().empty());
    EXPECT_EQ(storage()->getLastStoreCheckTime(), 0);
    g_mkdir_with_parents(SCREENSHOT_DIR, 0755);
    EXPECT_TRUE(ostra_efl_window_screenshot(window, SCREENSHOT_DIR "/update-popup.png"));

    // The back key dismisses it; the next check shows it again, and OK
    // closes it (and goes on to the store).
    ostra_eext_back_feed();
    EXPECT_EQ(popup(), nullptr);
    updater.startDownloadManager(window);
    settle();
    ASSERT_NE(popup(), nullptr);
    Evas_Object* ok = elm_object_part_content_get(popup(), "elm.swallow.button1");
    ASSERT_NE(ok, nullptr);
    evas_object_smart_callback_call(ok, "clicked", nullptr);
    EXPECT_EQ(popup(), nullptr);
    // A null parent checks nothing.
    updater.startDownloadManager(nullptr);
    EXPECT_EQ(popup(), nullptr);
}

TEST_F(UpdaterTest, NinetyFiveHoursWaitNinetySixAskWithAnEscapedQuery) {
    TestHttpServer server(TestHttpServer::Scheme::Http, answer("result", "2", "1.2.3"));
    serveFrom(server);
    vconf_set_str("db/ostra/system_info/model_name", "Pro & Co 5");
    vconf_set_str("db/csc/salescode", "XAR=1");
    ZentrelUpdater updater;
    storage()->saveLastStoreCheckTime(now() - 95 * kHour);
    updater.startDownloadManager(window);
    settle();
    EXPECT_TRUE(server.requestLog().empty());

    long long asked = now() - 96 * kHour;
    storage()->saveLastStoreCheckTime(asked);
    updater.startDownloadManager(window);
    ASSERT_TRUE(checkFinished(asked));
    EXPECT_GE(storage()->getLastStoreCheckTime(), now() - 5);
    EXPECT_NE(popup(), nullptr);
    EXPECT_EQ(storage()->getStoreAppVersion(), 100200003);
    auto log = server.requestLog();
    ASSERT_EQ(log.size(), 1u);
    // The server sees each value whole: the space, "&" and "=" are escaped.
    EXPECT_NE(log[0].find("/stub/stubUpdateCheck.as?appId=com.zentrel.altimeter&versionCode="
                          "100000000&deviceId=Pro%20%26%20Co%205&mcc=&mnc=&csc=XAR%3D1&sdkVer=&"),
              std::string::npos)
        << log[0];
    EXPECT_NE(log[0].find("&pd=1"), std::string::npos);
}

TEST_F(UpdaterTest, NoUpdateOrWrongAnswerSavesOnlyTheCheckTime) {
    for (const std::string& route :
         {answer("result", "1", "2.0.0"), answer("answer", "2", "2.0.0"),
          std::string(R"({"/stub/stubUpdateCheck.as":{"body":"not xml"}})")}) {
        TestHttpServer server(TestHttpServer::Scheme::Http, route);
        serveFrom(server);
        ZentrelUpdater updater;
        storage()->saveStoreAppVersion(0);
        storage()->saveLastStoreCheckTime(0);
        updater.startDownloadManager(window);
        ASSERT_TRUE(checkFinished(0)) << route;
        EXPECT_EQ(server.requestLog().size(), 1u);
        EXPECT_EQ(popup(), nullptr) << route;
        EXPECT_EQ(storage()->getStoreAppVersion(), 0) << route;
    }
}

// A version part too large for the code is no version: the code stays 0
// (it overflowed before, a wrapped number or undefined behaviour).
TEST_F(UpdaterTest, VersionTooLargeForTheCodeIsStoredAsZero) {
    const std::string path = root.path() + "/answer.xml";
    const std::string huge = "2." + std::string(1, '4') + std::string(80, '0') + ".12";
    for (const std::string& version : {huge, std::string("99999999999.0.0")}) {
        const std::string xml =
            "<?xml version=\"1.0\"?><result><resultCode>2</resultCode>"
            "<versionName>" +
            version + "</versionName></result>";
        ASSERT_TRUE(g_file_set_contents(path.c_str(), xml.c_str(), -1, nullptr));
        storage()->saveStoreAppVersion(7);
        EXPECT_TRUE(ZentrelUpdater::_isUpdateAvailable(path)) << version;
        EXPECT_EQ(storage()->getStoreAppVersion(), 0) << version;
    }
}

TEST_F(UpdaterTest, DownloadCutShortFailsWithoutPopupAndChecksAgainNextTime) {
    // The service redirects to an answer that stops halfway.
    TestHttpServer server(
        TestHttpServer::Scheme::Http,
        R"({"/stub/stubUpdateCheck.as":{"status":302,"headers":{"Location":"/truncated"}}})");
    serveFrom(server);
    ZentrelUpdater updater;
    updater.startDownloadManager(window);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return server.requestLog().size() == 2; }, 10000));
    settle();
    EXPECT_EQ(popup(), nullptr);
    EXPECT_EQ(storage()->getLastStoreCheckTime(), 0);
    EXPECT_EQ(storage()->getStoreAppVersion(), 0);
    updater.startDownloadManager(window);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return server.requestLog().size() == 4; }, 10000));
}

}  // namespace

namespace {

TEST(OstractlUpdate, CheckPrintsTheQueryAndItsOutcome) {
    TempRoot root;
    TestHttpServer server(TestHttpServer::Scheme::Http, answer("result", "2", "3.0.1"));
    ASSERT_TRUE(server.running());
    vconf_set_str(ZENTREL_UPDATE_HOST_KEY, ("127.0.0.1:" + std::to_string(server.port())).c_str());
    std::string out;
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "update", "check"}, &out), 0);
    EXPECT_NE(out.find("query:   http://127.0.0.1:"), std::string::npos) << out;
    EXPECT_NE(out.find("outcome: update available: the store has a newer version"),
              std::string::npos)
        << out;
    // The store's version is remembered: the next check asks nobody.
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "update", "check"}, &out), 0);
    EXPECT_NE(out.find("known from an earlier check"), std::string::npos) << out;
    EXPECT_EQ(server.requestLog().size(), 1u);
    EXPECT_EQ(testsupport::runProgram({OSTRACTL_PATH, "update", "now"}, &out), 2);
}

}  // namespace
