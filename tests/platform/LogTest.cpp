#include <gtest/gtest.h>
#include <ostra/app_common.h>
#include <ostra/bundle.h>
#include <ostra/dlog.h>
#include <ostra/korvane_log.h>
#include <ostra/uxt_util.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "TestSupport.h"

namespace {

TEST(Log, LevelFilterAndCaptureWithoutColours) {
    testsupport::LogCapture capture;
    ostra_log_set_level(DLOG_WARN);
    dlog_print(DLOG_DEBUG, "ZENTREL", "dropped debug");
    dlog_print(DLOG_INFO, "ZENTREL", "dropped info");
    dlog_print(DLOG_WARN, "ZENTRELWIDGET", "kept \033[0;35mwarning\033[0m %d", 3);
    dlog_print(DLOG_ERROR, "ZENTRELALERT", "kept error");
    EXPECT_FALSE(capture.contains("dropped"));
    EXPECT_TRUE(capture.contains("ZENTRELWIDGET: kept warning 3"));
    EXPECT_TRUE(capture.contains("ZENTRELALERT: kept error"));
    EXPECT_EQ(dlog_print(DLOG_ERROR, nullptr, "x"), DLOG_ERROR_INVALID_PARAMETER);
}

TEST(Log, LevelComesFromTheEnvironment) {
    std::string out;
    // A child process reads OSTRA_LOG_LEVEL at its first log line.
    ASSERT_EQ(
        testsupport::runProgram({"/usr/bin/env", "OSTRA_LOG_LEVEL=error", LOG_TOOL_PATH}, &out), 0);
    EXPECT_EQ(out, "1\n");
    ASSERT_EQ(
        testsupport::runProgram({"/usr/bin/env", "OSTRA_LOG_LEVEL=debug", LOG_TOOL_PATH}, &out), 0);
    EXPECT_EQ(out, "4\n");
    ASSERT_EQ(testsupport::runProgram({"/usr/bin/env", "OSTRA_LOG_LEVEL=", LOG_TOOL_PATH}, &out),
              0);
    EXPECT_EQ(out, "3\n");
}

TEST(DateTimeText, FieldsFollowTheFormatBits) {
    setenv("TZ", "UTC", 1);
    tzset();
    const time_t t = 1500000000;  // 2017-07-14 02:40:00 UTC
    char* full = uxt_util_get_date_time_text_by_locale("en_GB.UTF-8", 0x36, t);
    ASSERT_NE(full, nullptr);
    std::string text = full;
    free(full);
    EXPECT_NE(text.find("2017"), std::string::npos) << text;
    EXPECT_NE(text.find("02:40"), std::string::npos) << text;

    char* timeOnly12 = uxt_util_get_date_time_text_by_locale("en_US.UTF-8", 0x70, t);
    ASSERT_NE(timeOnly12, nullptr);
    text = timeOnly12;
    free(timeOnly12);
    EXPECT_EQ(text.find("2017"), std::string::npos) << text;
    EXPECT_NE(text.find("2:40"), std::string::npos) << text;
    EXPECT_NE(text.find("AM"), std::string::npos) << text;
}

TEST(UsageLogClient, AppendsOneJsonObjectPerInsert) {
    testsupport::TempRoot root;
    korvane_log_manager_h handle = nullptr;
    ASSERT_EQ(korvane_log_manager_create(&handle), KORVANE_LOG_ERROR_NONE);
    bundle* b = bundle_create();
    bundle_add_str(b, "app_id", "a");
    bundle_add_str(b, "feature", "ZN04");
    bundle_add_str(b, "extra", "quote \" and \\ back");
    EXPECT_EQ(bundle_add_str(b, "app_id", "again"), BUNDLE_ERROR_KEY_EXISTS);
    ASSERT_EQ(korvane_log_manager_insert(handle, KORVANE_LOG_URI_PREFIX "/log/x", b),
              KORVANE_LOG_ERROR_NONE);
    ASSERT_EQ(korvane_log_manager_insert(handle, KORVANE_LOG_URI_PREFIX "/log/y", b),
              KORVANE_LOG_ERROR_NONE);
    bundle_free(b);
    korvane_log_manager_destroy(handle);

    char* data = app_get_data_path();
    std::ifstream in(std::string(data) + KORVANE_LOG_FILE_NAME);
    free(data);
    std::string first, second, third;
    ASSERT_TRUE(std::getline(in, first));
    ASSERT_TRUE(std::getline(in, second));
    EXPECT_FALSE(std::getline(in, third));
    EXPECT_NE(first.find("\"channel\":\"/log/x\""), std::string::npos) << first;
    EXPECT_NE(first.find("\"feature\":\"ZN04\""), std::string::npos) << first;
    EXPECT_NE(first.find("quote \\\" and \\\\ back"), std::string::npos) << first;
    EXPECT_NE(second.find("\"channel\":\"/log/y\""), std::string::npos) << second;
}

}  // namespace
