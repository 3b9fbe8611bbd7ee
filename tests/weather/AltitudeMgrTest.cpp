#include <gtest/gtest.h>
#include <ostra/key_storage.h>
#include <ostra/vconf.h>

#include <vector>

#include "ProviderStandIn.h"
#include "TestSupport.h"
#include "WeatherCpHuafengAccu.h"
#include "WeatherCpMgr.h"
#include "ZentrelAltitudeMgr.h"

using testsupport::LogCapture;
using testsupport::ProviderStandIn;
using testsupport::TempRoot;

namespace {

class Recorder : public ZentrelAltitudeMgrEvent {
  public:
    void OnDataReceived(WeatherDataPtr data) override { received.push_back(data); }
    void OnDataReceiveFailed() override { failures++; }
    int calls() const { return static_cast<int>(received.size()) + failures; }
    std::vector<WeatherDataPtr> received;
    int failures = 0;
};

ZentrelAltitudeMgr* mgr() {
    return ZentrelAltitudeMgr::getInstance();
}

class AltitudeMgrTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(standIn.running());
        key_storage_set("zentrel_twc_api_key", "test-key");
    }
    // Chooses the provider before the manager's first use in this process.
    void useProvider(const char* csc) { WeatherCpMgr::GetInstance()->SetFakeCsc(csc); }
    bool wait(int calls, int ms = 10000) {
        return testsupport::runUntil([&] { return recorder.calls() >= calls; }, ms);
    }
    TempRoot root;
    ProviderStandIn standIn{root.path()};
    Recorder recorder;
};

TEST_F(AltitudeMgrTest, EachProviderDeliversItsPressureAndTemperature) {
    struct Case {
        const char* csc;
        double slp;
        double temperature;
        const char* step;
    };
    const Case cases[] = {
        {"TWC", 1008.4, 15.0, "twc-v3"},
        {"WNS", 1011.2, 18.5, "weathernews"},
        {"HUAFENG", 1004.6, 21.3, "huafeng-conditions"},
    };
    mgr()->SetEventListener(&recorder);
    for (const auto& c : cases) {
        useProvider(c.csc);
        int before = recorder.calls();
        mgr()->Request(37.5665, 126.978, ZentrelAltitudeMgr::DEFAULT_TIMEOUT);
        ASSERT_TRUE(wait(before + 1)) << c.csc;
        ASSERT_EQ(recorder.failures, 0) << c.csc;
        WeatherDataPtr data = recorder.received.back();
        EXPECT_DOUBLE_EQ(data->GetAtmPressure(), c.slp) << c.csc;
        EXPECT_NEAR(data->getTemperature(), c.temperature, 1e-9) << c.csc;
        EXPECT_DOUBLE_EQ(data->GetLatitude(), 37.5665) << c.csc;
        EXPECT_DOUBLE_EQ(data->GetLongitude(), 126.978) << c.csc;
        EXPECT_EQ(standIn.served(c.step), 1) << c.csc;
    }
}

TEST_F(AltitudeMgrTest, ChinaFlowMakesTwoRequestsAndReportsOnce) {
    useProvider("HUAFENG");
    mgr()->SetEventListener(&recorder);
    mgr()->Request(37.5665, 126.978, 500000.0);
    ASSERT_TRUE(wait(1));
    testsupport::runUntil([] { return false; }, 300);
    EXPECT_EQ(recorder.calls(), 1);
    EXPECT_EQ(standIn.served("huafeng-location"), 1);
    EXPECT_EQ(standIn.served("huafeng-conditions"), 1);
}

TEST_F(AltitudeMgrTest, SecondRequestInFlightIsIgnored) {
    useProvider("WNS");
    mgr()->SetEventListener(&recorder);
    LogCapture logs;
    mgr()->Request(35.0, 139.0, 500000.0);
    mgr()->Request(36.0, 140.0, 500000.0);
    EXPECT_TRUE(logs.contains("exist request"));
    ASSERT_TRUE(wait(1));
    testsupport::runUntil([] { return false; }, 300);
    EXPECT_EQ(recorder.calls(), 1);
    EXPECT_EQ(recorder.received.at(0)->GetLatitude(), 35.0);
    EXPECT_EQ(standIn.served("weathernews"), 1);
}

TEST_F(AltitudeMgrTest, TimeoutFailsOnceAndLeavesTheManagerIdle) {
    useProvider("WNS");
    standIn.setMode("silent");
    mgr()->SetEventListener(&recorder);
    mgr()->Request(35.0, 139.0, 300.0);
    ASSERT_TRUE(wait(1));
    testsupport::runUntil([] { return false; }, 500);
    EXPECT_EQ(recorder.failures, 1);
    EXPECT_TRUE(recorder.received.empty());

    // Idle again, and the timeout forgot the listener.
    standIn.setMode("normal");
    Recorder next;
    mgr()->SetEventListener(&next);
    mgr()->Request(35.0, 139.0, 500000.0);
    ASSERT_TRUE(testsupport::runUntil([&] { return next.calls() == 1; }, 10000));
    EXPECT_EQ(next.received.size(), 1u);
    EXPECT_EQ(recorder.calls(), 1);
}

TEST_F(AltitudeMgrTest, ResponseAfterCancelReachesNoOne) {
    useProvider("TWC");
    mgr()->SetEventListener(&recorder);
    mgr()->Request(40.7, -74.0, 500000.0);
    mgr()->RequestCancel();
    testsupport::runUntil([] { return false; }, 1500);
    EXPECT_EQ(recorder.calls(), 0);
    // A null listener does not replace the one set before.
    Recorder kept;
    mgr()->SetEventListener(&kept);
    mgr()->SetEventListener(nullptr);
    mgr()->Request(40.7, -74.0, 500000.0);
    ASSERT_TRUE(testsupport::runUntil([&] { return kept.calls() == 1; }, 10000));
    EXPECT_EQ(kept.received.size(), 1u);
}

TEST_F(AltitudeMgrTest, BrokenAndRefusedAnswersFailAndTheNextRequestStillWorks) {
    useProvider("TWC");
    mgr()->SetEventListener(&recorder);
    for (const char* mode : {"broken", "error"}) {
        standIn.setMode(mode);
        int before = recorder.failures;
        mgr()->Request(51.5, -0.12, 500000.0);
        ASSERT_TRUE(testsupport::runUntil([&] { return recorder.failures == before + 1; }, 10000))
            << mode;
    }
    standIn.setMode("normal");
    mgr()->Request(51.5, -0.12, 500000.0);
    ASSERT_TRUE(testsupport::runUntil([&] { return !recorder.received.empty(); }, 10000));
    EXPECT_DOUBLE_EQ(recorder.received[0]->GetAtmPressure(), 1008.4);
}

TEST_F(AltitudeMgrTest, NoLogLineCarriesAKeyOrSignature) {
    key_storage_set("zentrel_twc_api_key", "Tw7cKeyThatMustNotLeak");
    mgr()->SetEventListener(&recorder);
    LogCapture logs;
    for (const char* csc : {"TWC", "HUAFENG"}) {
        useProvider(csc);
        int before = recorder.calls();
        mgr()->Request(37.5665, 126.978, 500000.0);
        ASSERT_TRUE(wait(before + 1)) << csc;
    }
    ASSERT_EQ(recorder.failures, 0);
    WeatherCpHuafengAccu provider;
    const std::string secrets[] = {"Tw7cKeyThatMustNotLeak",
                                   provider.GetApiKeyString(HUA_KEY_TYPE_API),
                                   provider.GetApiKeyString(HUA_KEY_TYPE_SECRET)};
    int urls = 0;
    for (const auto& line : logs.lines()) {
        for (const auto& secret : secrets) {
            EXPECT_EQ(line.find(secret), std::string::npos) << line;
        }
        size_t signature = line.find("accessKey=");
        if (signature != std::string::npos) {
            EXPECT_EQ(line.compare(signature, 13, "accessKey=***"), 0) << line;
        }
        urls += line.find("URL [") != std::string::npos ? 1 : 0;
    }
    // The request URLs are still logged, with the values masked.
    EXPECT_EQ(urls, 3);
    EXPECT_TRUE(logs.contains("apiKey=***"));
    EXPECT_TRUE(logs.contains("apikey=***&requestDate="));
}

TEST_F(AltitudeMgrTest, UnreachableProviderFails) {
    useProvider("WNS");
    vconf_set_str(WEATHER_HOST_KEY_WEATHERNEWS, "127.0.0.1:1");
    mgr()->SetEventListener(&recorder);
    mgr()->Request(35.0, 139.0, 500000.0);
    ASSERT_TRUE(wait(1));
    EXPECT_EQ(recorder.failures, 1);
}

}  // namespace
