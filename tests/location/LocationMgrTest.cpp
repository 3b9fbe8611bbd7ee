#include <gtest/gtest.h>
#include <ostra/location_manager.h>
#include <ostra/vconf.h>

#include "TestSupport.h"
#include "ZentrelLocationMgr.h"

using testsupport::LogCapture;
using testsupport::TempRoot;

namespace {

class RecordingListener : public IZentrelLocationListener {
  public:
    bool onStateChanged(int state) override {
        states++;
        lastState = state;
        return true;
    }
    bool onLocationEnabled(bool enabled) override {
        answers++;
        lastAnswer = enabled;
        return true;
    }
    int states = 0;
    int lastState = -99;
    int answers = 0;
    bool lastAnswer = false;
};

void placeAt(double latitude, double longitude) {
    vconf_set_dbl(VCONFKEY_LOCATION_LATITUDE, latitude);
    vconf_set_dbl(VCONFKEY_LOCATION_LONGITUDE, longitude);
    vconf_set_dbl(VCONFKEY_LOCATION_ALTITUDE, 38.0);
}

ZentrelLocationMgr* mgr() {
    return ZentrelLocationMgr::getInstance();
}

TEST(LocationMgr, NotSupportedCreatesNothingAndPositionNeedsAManager) {
    TempRoot root;
    vconf_set_bool(VCONFKEY_LOCATION_SUPPORTED, 0);
    RecordingListener listener;
    EXPECT_FALSE(mgr()->isGpsEnabled());
    EXPECT_EQ(mgr()->createLocationMgr(&listener), LOCATIONS_ERROR_NOT_SUPPORTED);
    double lat = 1.5, lon = 2.5, alt = 3.5;
    EXPECT_EQ(mgr()->getCurrentPosition(&lat, &lon, &alt), -1);
    EXPECT_EQ(lat, 1.5);
    EXPECT_EQ(lon, 2.5);
    EXPECT_EQ(alt, 3.5);
    EXPECT_FALSE(mgr()->isLocationEnabled());
}

TEST(LocationMgr, FixedPlaceEnablesTheServiceAndASecondCreateKeepsTheFirstListener) {
    TempRoot root;
    placeAt(37.5665, 126.978);
    RecordingListener first, second;
    ASSERT_EQ(mgr()->createLocationMgr(&first), LOCATIONS_ERROR_NONE);
    EXPECT_EQ(first.states, 0) << "the service reports from the main loop";
    ASSERT_TRUE(testsupport::runUntil([&] { return first.states == 1; }, 5000));
    EXPECT_EQ(first.lastState, ENABLED);
    EXPECT_EQ(mgr()->getLocationState(), ENABLED);
    double lat = 0, lon = 0, alt = 0;
    ASSERT_EQ(mgr()->getCurrentPosition(&lat, &lon, &alt), LOCATIONS_ERROR_NONE);
    EXPECT_DOUBLE_EQ(lat, 37.5665);
    EXPECT_DOUBLE_EQ(lon, 126.978);
    EXPECT_DOUBLE_EQ(alt, 38.0);

    mgr()->stopLocationMgr();
    EXPECT_NE(mgr()->getCurrentPosition(&lat, &lon, &alt), LOCATIONS_ERROR_NONE);
    LogCapture logs;
    ASSERT_EQ(mgr()->createLocationMgr(&second), LOCATIONS_ERROR_NONE);
    EXPECT_TRUE(logs.contains("_location_manager is already created!"));
    ASSERT_TRUE(testsupport::runUntil([&] { return first.states == 2; }, 5000));
    EXPECT_EQ(second.states, 0);
    mgr()->destroyLocationMgr();
    EXPECT_EQ(mgr()->getLocationState(), DISABLED);
    EXPECT_EQ(mgr()->getCurrentPosition(&lat, &lon, &alt), -1);
}

TEST(LocationMgr, SwitchedOffServiceChangesStateWithoutTheListener) {
    TempRoot root;
    placeAt(48.1, 11.6);
    RecordingListener listener;
    ASSERT_EQ(mgr()->createLocationMgr(&listener), LOCATIONS_ERROR_NONE);
    ASSERT_TRUE(testsupport::runUntil([&] { return mgr()->getLocationState() == ENABLED; }, 5000));
    LogCapture logs;
    vconf_set_bool(VCONFKEY_LOCATION_ENABLED, 0);
    ASSERT_TRUE(testsupport::runUntil([&] { return mgr()->getLocationState() == DISABLED; }, 5000));
    EXPECT_TRUE(logs.contains("location service disabled"));
    EXPECT_EQ(listener.states, 1);
    EXPECT_FALSE(mgr()->isLocationEnabled());
    mgr()->destroyLocationMgr();
}

TEST(LocationMgr, RefusedEnableRequestReportsFalse) {
    TempRoot root;
    vconf_set_bool(VCONFKEY_LOCATION_ENABLED, 0);
    vconf_set_str(VCONFKEY_LOCATION_ENABLE_ANSWER, "refuse");
    RecordingListener listener;
    LogCapture logs;
    ASSERT_EQ(mgr()->onLocationsetting(&listener), LOCATIONS_ERROR_NONE);
    ASSERT_TRUE(testsupport::runUntil([&] { return listener.answers == 1; }, 5000));
    EXPECT_FALSE(listener.lastAnswer);
    EXPECT_EQ(mgr()->getLocationState(), DISABLED);
    EXPECT_TRUE(logs.contains("location enable failed!!!"));
    EXPECT_FALSE(mgr()->isLocationEnabled());
}

TEST(LocationMgr, AcceptedEnableRequestSwitchesOnAndStartsTheService) {
    TempRoot root;
    placeAt(35.68, 139.77);
    vconf_set_bool(VCONFKEY_LOCATION_ENABLED, 0);
    RecordingListener listener;
    ASSERT_EQ(mgr()->onLocationsetting(&listener), LOCATIONS_ERROR_NONE);
    ASSERT_TRUE(testsupport::runUntil([&] { return listener.answers == 1; }, 5000));
    EXPECT_TRUE(listener.lastAnswer);
    EXPECT_TRUE(mgr()->isLocationEnabled());
    // The switch turning on creates the manager, and the service comes up.
    ASSERT_TRUE(testsupport::runUntil([&] { return listener.states == 1; }, 5000));
    double lat = 0, lon = 0, alt = 0;
    EXPECT_EQ(mgr()->getCurrentPosition(&lat, &lon, &alt), LOCATIONS_ERROR_NONE);
    EXPECT_DOUBLE_EQ(lat, 35.68);
    mgr()->destroyLocationMgr();
}

TEST(LocationMgr, NoPlaceAndNoGeoClueLeavesTheServiceDisabled) {
    TempRoot root;
    vconf_set_dbl(VCONFKEY_LOCATION_LATITUDE, 123.0);  // out of range: ignored
    vconf_set_dbl(VCONFKEY_LOCATION_LONGITUDE, 10.0);
    // Point the system bus at nothing so the test never depends on the host.
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
    RecordingListener listener;
    LogCapture logs;
    ASSERT_EQ(mgr()->createLocationMgr(&listener), LOCATIONS_ERROR_NONE);
    ASSERT_TRUE(
        testsupport::runUntil([&] { return logs.contains("GeoClue2 unavailable"); }, 10000));
    EXPECT_TRUE(logs.contains("out of range"));
    EXPECT_EQ(listener.states, 0);
    EXPECT_EQ(mgr()->getLocationState(), DISABLED);
    mgr()->destroyLocationMgr();
}

}  // namespace

namespace {

TEST(LocationFaults, PlayedFaultFailsStartAndPositionUntilCleared) {
    TempRoot root;
    placeAt(47.37, 8.54);
    RecordingListener listener;
    std::string output;
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "location", "fault", "network-failed"}), 0);
    EXPECT_EQ(testsupport::runProgram({OSTRACTL_PATH, "location", "fault", "no-such-fault"}), 2);
    EXPECT_EQ(mgr()->createLocationMgr(&listener), LOCATIONS_ERROR_NETWORK_FAILED);
    EXPECT_EQ(mgr()->getCurrentPosition(nullptr, nullptr, nullptr), -1) << "nothing was created";

    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "location", "fault", "clear"}), 0);
    ASSERT_EQ(mgr()->createLocationMgr(&listener), LOCATIONS_ERROR_NONE);
    ASSERT_TRUE(testsupport::runUntil([&] { return listener.states == 1; }, 5000));
    vconf_set_str(VCONFKEY_LOCATION_FAULT, "security-restricted");
    double lat = 0, lon = 0, alt = 0;
    EXPECT_EQ(mgr()->getCurrentPosition(&lat, &lon, &alt), LOCATIONS_ERROR_SECURITY_RESTRICTED);
    vconf_set_str(VCONFKEY_LOCATION_FAULT, "not-a-fault");
    EXPECT_EQ(mgr()->getCurrentPosition(&lat, &lon, &alt), LOCATIONS_ERROR_NONE)
        << "an unknown name plays nothing";
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "location", "show"}, &output), 0);
    EXPECT_NE(output.find("fault:     not-a-fault"), std::string::npos) << output;
    mgr()->destroyLocationMgr();
}

TEST(LocationFaults, SilentServiceNeverComesUpAndSwitchedOffAsksForTheSetting) {
    TempRoot root;
    placeAt(47.37, 8.54);
    RecordingListener listener;
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "location", "silent", "on"}), 0);
    ASSERT_EQ(mgr()->createLocationMgr(&listener), LOCATIONS_ERROR_NONE);
    testsupport::runUntil([] { return false; }, 300);
    EXPECT_EQ(listener.states, 0);
    double lat = 0, lon = 0, alt = 0;
    EXPECT_EQ(mgr()->getCurrentPosition(&lat, &lon, &alt), LOCATIONS_ERROR_SERVICE_NOT_AVAILABLE);
    mgr()->destroyLocationMgr();

    vconf_set_bool(VCONFKEY_LOCATION_SILENT, 0);
    vconf_set_bool(VCONFKEY_LOCATION_ENABLED, 0);
    EXPECT_EQ(mgr()->createLocationMgr(&listener), LOCATIONS_ERROR_GPS_SETTING_OFF);
}

TEST(LocationFaults, RestartedManagerAnswersWithItsLastFixAtOnce) {
    TempRoot root;
    placeAt(47.37, 8.54);
    RecordingListener listener;
    ASSERT_EQ(mgr()->createLocationMgr(&listener), LOCATIONS_ERROR_NONE);
    ASSERT_TRUE(testsupport::runUntil([&] { return listener.states == 1; }, 5000));
    mgr()->stopLocationMgr();
    // A second calibration finds the state enabled and reads at once.
    ASSERT_EQ(mgr()->createLocationMgr(&listener), LOCATIONS_ERROR_NONE);
    double lat = 0, lon = 0, alt = 0;
    EXPECT_EQ(mgr()->getCurrentPosition(&lat, &lon, &alt), LOCATIONS_ERROR_NONE);
    EXPECT_DOUBLE_EQ(lat, 47.37);
    vconf_set_bool(VCONFKEY_LOCATION_ENABLED, 0);
    EXPECT_EQ(mgr()->getCurrentPosition(&lat, &lon, &alt), LOCATIONS_ERROR_GPS_SETTING_OFF);
    mgr()->destroyLocationMgr();
}

}  // namespace
