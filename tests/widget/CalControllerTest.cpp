// The widget's own calibration against the provider stand-in: the events it
// reports, what it stores, and how it ends on failure, time-out or stop.
#include <ZentrelStorageMgr.h>
#include <ZentrelWidgetCalController.h>
#include <gtest/gtest.h>
#include <ostra/key_storage.h>
#include <ostra/location_manager.h>
#include <ostra/vconf.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "ProviderStandIn.h"
#include "WidgetTestSupport.h"

namespace {

ZentrelStorageMgr* storage() {
    return ZentrelStorageMgr::getInstance();
}

class EventRecorder : public IZentrelWidgetCalListener {
  public:
    void onCalEvent(calEvent event) override { events.push_back(event); }
    std::vector<calEvent> events;
};

class CalControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(standIn.running());
        key_storage_set("zentrel_twc_api_key", "test-key");
        setenv("OSTRA_CONNECTION_TYPE", "ethernet", 1);
        vconf_set_dbl(VCONFKEY_LOCATION_LATITUDE, 37.5665);
        vconf_set_dbl(VCONFKEY_LOCATION_LONGITUDE, 126.978);
        vconf_set_dbl(VCONFKEY_LOCATION_ALTITUDE, 38.0);
        storage()->saveDataSLP(1020.0);
    }
    void TearDown() override { unsetenv("OSTRA_CONNECTION_TYPE"); }
    bool waitFor(size_t count, int ms = 10000) {
        return uitest::runLoopUntil([&] { return recorder.events.size() >= count; }, ms);
    }

    widgettest::WidgetEnvironment env;
    testsupport::ProviderStandIn standIn{env.root()};
    EventRecorder recorder;
};

TEST_F(CalControllerTest, SuccessStoresTheReferenceWithOneTimeStamp) {
    ZentrelWidgetCalController controller(&recorder);
    const long long before = static_cast<long long>(time(nullptr));
    ASSERT_TRUE(controller.calibrate());
    EXPECT_EQ(recorder.events, std::vector<calEvent>{STARTED});
    EXPECT_FALSE(controller.calibrate()) << "one calibration at a time";
    EXPECT_EQ(recorder.events.size(), 1u);

    ASSERT_TRUE(waitFor(2));
    EXPECT_EQ(recorder.events[1], COMPLETED);
    EXPECT_EQ(controller.getState(), IDLE);
    EXPECT_DOUBLE_EQ(storage()->getDataSLP(), 1008.4);
    EXPECT_DOUBLE_EQ(storage()->getTemperature(), 15.0);
    const long long calTime = storage()->getDataCalTime();
    EXPECT_GE(calTime, before);
    char* history = storage()->getDataSLPHistory();
    ASSERT_NE(history, nullptr);
    EXPECT_NE(std::string(history).find(std::to_string(calTime)), std::string::npos) << history;
    free(history);
    EXPECT_EQ(standIn.served("twc-v3"), 1);
}

TEST_F(CalControllerTest, ProviderFailureCancelsAndKeepsTheStoredReference) {
    standIn.setMode("error");
    ZentrelWidgetCalController controller(&recorder);
    ASSERT_TRUE(controller.calibrate());
    ASSERT_TRUE(waitFor(2));
    EXPECT_EQ(recorder.events, (std::vector<calEvent>{STARTED, CANCELED}));
    EXPECT_DOUBLE_EQ(storage()->getDataSLP(), 1020.0);
    EXPECT_EQ(controller.getState(), IDLE);
}

TEST_F(CalControllerTest, NoAnswerEndsWithTheGuardTimer) {
    standIn.setMode("silent");
    ZentrelWidgetCalController controller(&recorder, 1.0);
    ASSERT_TRUE(controller.calibrate());
    ASSERT_TRUE(uitest::runLoopUntil(
        [&] { return controller.getState() == CONTENT_PROVIDER_REQUESTED; }, 5000));
    ASSERT_TRUE(waitFor(2, 3000));
    EXPECT_EQ(recorder.events, (std::vector<calEvent>{STARTED, CANCELED}));
    EXPECT_EQ(controller.getState(), IDLE);
    EXPECT_DOUBLE_EQ(storage()->getDataSLP(), 1020.0);
    // The outstanding request was cancelled: no late answer arrives.
    uitest::runLoopUntil([] { return false; }, 500);
    EXPECT_EQ(recorder.events.size(), 2u);
}

TEST_F(CalControllerTest, StopEndsSilentlyAndLocationStatesCancel) {
    standIn.setMode("silent");
    ZentrelWidgetCalController controller(&recorder);
    EXPECT_FALSE(controller.stop()) << "nothing to stop";
    ASSERT_TRUE(controller.calibrate());
    ASSERT_TRUE(uitest::runLoopUntil(
        [&] { return controller.getState() == CONTENT_PROVIDER_REQUESTED; }, 5000));
    EXPECT_TRUE(controller.stop());
    EXPECT_EQ(controller.getState(), IDLE);
    uitest::runLoopUntil([] { return false; }, 300);
    EXPECT_EQ(recorder.events, std::vector<calEvent>{STARTED});

    // Location switched off while waiting for it: cancelled.
    ASSERT_TRUE(controller.calibrate());
    EXPECT_EQ(controller.getState(), LOCATION_REQUESTED);
    controller.onStateChanged(DISABLED);
    EXPECT_EQ(recorder.events, (std::vector<calEvent>{STARTED, STARTED, CANCELED}));
    EXPECT_EQ(controller.getState(), IDLE);
}

TEST_F(CalControllerTest, WithoutNetworkNothingStarts) {
    setenv("OSTRA_CONNECTION_TYPE", "disconnected", 1);
    ZentrelWidgetCalController controller(&recorder);
    EXPECT_FALSE(controller.calibrate());
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(controller.getState(), IDLE);
}

}  // namespace
