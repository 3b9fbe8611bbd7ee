#include <gtest/gtest.h>
#include <json-glib/json-glib.h>
#include <ostra/app_common.h>
#include <ostra/korvane_log.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "ZentrelLogging.h"

namespace {

using Event = std::map<std::string, std::string>;

// Each test runs in its own process, so the singleton starts fresh.
std::vector<Event> readEvents() {
    char* data = app_get_data_path();
    std::ifstream in(std::string(data) + KORVANE_LOG_FILE_NAME);
    free(data);
    std::vector<Event> events;
    std::string line;
    while (std::getline(in, line)) {
        JsonParser* parser = json_parser_new();
        Event event;
        if (json_parser_load_from_data(parser, line.c_str(), -1, nullptr)) {
            JsonObject* object = json_node_get_object(json_parser_get_root(parser));
            GList* members = json_object_get_members(object);
            for (GList* m = members; m; m = m->next) {
                const char* name = static_cast<const char*>(m->data);
                event[name] = json_object_get_string_member(object, name);
            }
            g_list_free(members);
        }
        g_object_unref(parser);
        events.push_back(event);
    }
    return events;
}

TEST(ZentrelLogging, QueuedEventsGoOutInOrderBeforeLaterOnes) {
    testsupport::TempRoot root;
    testsupport::LogCapture logs;
    ZentrelLogging* logging = ZentrelLogging::getInstance();
    logging->setQueueEnableStatus(true);
    logging->sendKorvaneLog(LAUNCH_PATH, "Apps launch", nullptr);
    logging->sendKorvaneLog(STATE_MANUAL_CALIBRATION, nullptr, "1");
    logging->sendKorvaneLog(SET_CALIBRATION, nullptr, nullptr);
    EXPECT_TRUE(readEvents().empty());
    EXPECT_TRUE(logs.contains("Korvane log enqueue (logType: 2, Count: 3)"));

    // Queueing is still on: the fourth waits too, then dequeue sends all four.
    logging->sendKorvaneLog(HELP_LIST, "Help", nullptr);
    logging->dequeueLogData();
    logging->sendKorvaneLog(REQUEST_WEATHER_INFO, nullptr, nullptr);
    auto events = readEvents();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0]["feature"], "ZN04");
    EXPECT_EQ(events[0]["extra"], "Apps launch");
    EXPECT_EQ(events[0]["channel"], "/log/use_app_feature_survey");
    EXPECT_EQ(events[1]["feature"], "ZN01");
    EXPECT_EQ(events[1]["value"], "1");
    EXPECT_EQ(events[1]["channel"], "/log/report_app_status_survey");
    EXPECT_EQ(events[1].count("extra"), 0u);
    EXPECT_EQ(events[2]["feature"], "ZN03");
    EXPECT_EQ(events[2].count("value") + events[2].count("extra"), 0u);
    EXPECT_EQ(events[3]["feature"], "ZN07");
    EXPECT_EQ(events[4]["feature"], "ZN15");
    for (auto& event : events) {
        EXPECT_EQ(event["app_id"], OSTRA_TEST_PACKAGE_ID);
    }
}

TEST(ZentrelLogging, QueueCannotBeEnabledAfterTheFirstSend) {
    testsupport::TempRoot root;
    ZentrelLogging* logging = ZentrelLogging::getInstance();
    logging->sendKorvaneLog(SETTINGS_AUTO_REFRESH_STATUS, "ignored", "on");
    logging->setQueueEnableStatus(true);
    logging->sendKorvaneLog(LAUNCH_PATH, "Widget launch", nullptr);
    auto events = readEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0]["feature"], "ZN14");
    EXPECT_EQ(events[0]["value"], "on");
    EXPECT_EQ(events[0].count("extra"), 0u);
    EXPECT_EQ(events[0]["channel"], "/log/report_app_status_survey");
    EXPECT_EQ(events[1]["feature"], "ZN04");
    EXPECT_EQ(events[1]["extra"], "Widget launch");
}

TEST(ZentrelLogging, UnknownTypeSendsNothing) {
    testsupport::TempRoot root;
    ZentrelLogging* logging = ZentrelLogging::getInstance();
    logging->sendKorvaneLog(static_cast<ZentrelLoggingType>(15), "x", "y");
    logging->sendKorvaneLog(static_cast<ZentrelLoggingType>(-1), "x", "y");
    EXPECT_TRUE(readEvents().empty());
    logging->sendKorvaneLog(PRESSURE_ALERT, nullptr, nullptr);
    EXPECT_EQ(readEvents().size(), 1u);
}

TEST(ZentrelLogging, FailedClientCreationDropsTheEventAndRetriesLater) {
    testsupport::TempRoot root;
    // A data directory that cannot be created makes the client fail.
    ASSERT_EQ(system(("mkdir -p " + root.path() + "/apps && touch " + root.path() + "/apps/" +
                      OSTRA_TEST_PACKAGE_ID)
                         .c_str()),
              0);
    testsupport::LogCapture logs;
    ZentrelLogging::getInstance()->sendKorvaneLog(PRESSURE_ALERT, nullptr, nullptr);
    EXPECT_TRUE(logs.contains("Korvane log sending failed"));
}

}  // namespace
