#include <gtest/gtest.h>
#include <ostra/message_port.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "ZentrelBuildConfig.h"
#include "ZentrelStorageMgr.h"
#include "ZentrelWeather.h"

using testsupport::TempRoot;

namespace {

const char* kPort = ZENTREL_PACKAGE_ID ".zentrel_weather_info";

class Results : public IZentrelWeatherListener {
  public:
    bool onWeatherResult(ZentrelWeatherResult result) override {
        seen.push_back(result);
        return true;
    }
    std::vector<ZentrelWeatherResult> seen;
};

// The agent is a real process started by the launch request; it exits one
// second after its last request so it does not outlive the test.
class WeatherAgentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("OSTRA_WEATHER_AGENT_IDLE_SECONDS", "1", 1);
        ZentrelStorageMgr::getInstance()->saveDataSLP(1013.25);
        ZentrelStorageMgr::getInstance()->saveDataCalTime(0);
    }
    void agent(std::vector<std::string> args) {
        args.insert(args.begin(), {OSTRACTL_PATH, "weather-agent"});
        ASSERT_EQ(testsupport::runProgram(args), 0);
    }
    // Asks the agent and waits for its one report.
    ZentrelWeatherResult ask() {
        size_t before = results.seen.size();
        EXPECT_TRUE(weather.requestWeatherInfo());
        bool heard = testsupport::runUntil([&] { return results.seen.size() > before; }, 10000);
        EXPECT_TRUE(heard);
        return heard ? results.seen.back() : UNKNOW_ERROR;
    }
    // The age check counts whole seconds on both sides: an ask counts only
    // when the whole round trip stayed within one second.
    ZentrelWeatherResult askWithinOneSecond() {
        for (int attempt = 0; attempt < 5; ++attempt) {
            while (g_get_real_time() % G_USEC_PER_SEC > 100000) {
                g_usleep(10000);
            }
            time_t start = time(nullptr);
            ZentrelWeatherResult result = ask();
            if (time(nullptr) == start) {
                return result;
            }
        }
        ADD_FAILURE() << "no round trip within one second";
        return UNKNOW_ERROR;
    }
    static double slp() { return ZentrelStorageMgr::getInstance()->getDataSLP(); }
    static long long calTime() { return ZentrelStorageMgr::getInstance()->getDataCalTime(); }
    static std::string history() {
        char* text = ZentrelStorageMgr::getInstance()->getDataSLPHistory();
        std::string copy = text ? text : "";
        free(text);
        return copy;
    }

    TempRoot root;
    Results results;
    ZentrelWeather weather{&results};
};

TEST_F(WeatherAgentTest, FreshAnswerBecomesTheCalibrationAlsoBelowFreezing) {
    agent({"set", "1012.5", "-5", "0"});
    long long before = time(nullptr);
    ASSERT_EQ(ask(), SLP_UPDATED);
    EXPECT_DOUBLE_EQ(slp(), 1012.5);
    EXPECT_DOUBLE_EQ(ZentrelStorageMgr::getInstance()->getTemperature(), -5.0);
    EXPECT_GE(calTime(), before);

    // The history entry carries the agent's time, not the time it arrived.
    agent({"set", "1008.25", "3.5", "1800"});
    long long now = time(nullptr);
    ASSERT_EQ(ask(), SLP_UPDATED);
    EXPECT_DOUBLE_EQ(slp(), 1008.25);
    EXPECT_LE(calTime(), now - 1800);
    EXPECT_GE(calTime(), now - 1801);
    EXPECT_NE(history().find("T:" + std::to_string(calTime()) + ";P+1008.25"), std::string::npos)
        << history();
}

TEST_F(WeatherAgentTest, AnHourOldIsFreshOneSecondMoreIsNot) {
    agent({"set", "1001", "12", "3600"});
    ASSERT_EQ(askWithinOneSecond(), SLP_UPDATED);
    EXPECT_DOUBLE_EQ(slp(), 1001.0);

    agent({"set", "990", "12", "3601"});
    std::string historyBefore = history();
    long long calBefore = calTime();
    ASSERT_EQ(askWithinOneSecond(), SLP_NOT_UPDATED);
    EXPECT_DOUBLE_EQ(slp(), 1001.0);
    EXPECT_EQ(calTime(), calBefore);
    EXPECT_EQ(history(), historyBefore);
}

TEST_F(WeatherAgentTest, UnsupportedPlaceAndOldAgentAreReportedAndStoreNothing) {
    agent({"set", "1000", "10", "99999"});
    agent({"unsupported"});
    EXPECT_EQ(ask(), WEATHER_UNSUPPORT_LOCATION);
    agent({"old"});
    EXPECT_EQ(ask(), WEATHER_LOW_VERSION);
    EXPECT_DOUBLE_EQ(slp(), 1013.25);
    EXPECT_EQ(calTime(), 0);
    EXPECT_EQ(history().find("P+1000"), std::string::npos);
}

bundle* answer(const std::string& time, const std::string& pressure,
               const std::string& temperature) {
    bundle* b = bundle_create();
    bundle_add_str(b, "refreshedTime", time.c_str());
    bundle_add_str(b, "pressure", pressure.c_str());
    bundle_add_str(b, "currentTemperature", temperature.c_str());
    return b;
}

// Malformed answers written straight to the port, as a broken agent would.
TEST_F(WeatherAgentTest, MalformedAnswersEndWithoutReport) {
    std::string now = std::to_string(time(nullptr));
    const struct {
        const char* what;
        std::string time, pressure, temperature;
    } cases[] = {
        {"time not a number", "12:00", "1000", "10"}, {"negative time", "-" + now, "1000", "10"},
        {"pressure not a number", now, "high", "10"}, {"negative pressure", now, "-1000", "10"},
        {"empty temperature", now, "1000", ""},       {"lone minus", now, "1000", "-"},
        {"temperature with text", now, "1000", "5C"},
    };
    for (const auto& c : cases) {
        bundle* b = answer(c.time, c.pressure, c.temperature);
        ASSERT_EQ(message_port_send_message(ZENTREL_PACKAGE_ID, kPort, b), MESSAGE_PORT_ERROR_NONE);
        bundle_free(b);
    }
    // A good answer last: once it is heard, every malformed one was handled.
    bundle* good = answer(now, "1005.5", "-0.5");
    ASSERT_EQ(message_port_send_message(ZENTREL_PACKAGE_ID, kPort, good), MESSAGE_PORT_ERROR_NONE);
    bundle_free(good);
    ASSERT_TRUE(testsupport::runUntil([&] { return !results.seen.empty(); }, 5000));
    testsupport::runUntil([] { return false; }, 200);
    ASSERT_EQ(results.seen.size(), 1u);
    EXPECT_EQ(results.seen[0], SLP_UPDATED);
    EXPECT_DOUBLE_EQ(slp(), 1005.5);
}

TEST_F(WeatherAgentTest, PortLivesWithTheObjectAndTheListenerIsClassWide) {
    {
        // A second object without listener keeps the first one's listener.
        ZentrelWeather silent(nullptr);
        agent({"set", "1011", "8"});
        EXPECT_EQ(ask(), SLP_UPDATED);
    }
    // The inner object took the port down with it.
    bundle* b = answer(std::to_string(time(nullptr)), "1000", "1");
    EXPECT_EQ(message_port_send_message(ZENTREL_PACKAGE_ID, kPort, b),
              MESSAGE_PORT_ERROR_PORT_NOT_FOUND);
    bundle_free(b);
}

}  // namespace
