// ostractl's storm verbs and the recorder export, and the recorder daemon
// launching the alert program, all as real processes.
#include <glib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "RecorderStore.h"
#include "TestSupport.h"

namespace {

using testsupport::readFile;
using testsupport::runProgram;

long long nowSeconds() {
    return g_get_real_time() / G_USEC_PER_SEC;
}

// Rows every minute: steady at 1012 hPa, then 2 hPa per hour down from `fallFrom` hours.
std::string stormCsv(const std::string& path, double hours, double fallFrom) {
    std::ofstream out(path);
    out << "offset,hPa\n# a storm\n";
    for (int minute = 0; minute <= hours * 60; ++minute) {
        double fallen = std::max(0.0, minute / 60.0 - fallFrom) * 2.0;
        out << minute * 60 << "," << 1012.0 - fallen + (minute % 3 - 1) * 0.1 << "\n";
    }
    return path;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        result.push_back(line);
    }
    return result;
}

TEST(StormTools, ReplayPrintsOneLinePerAlertWithItsOffset) {
    testsupport::TempRoot root;
    std::string output;
    std::string csv = stormCsv(root.path() + "/storm.csv", 10, 3);
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "storm", "replay", csv}, &output), 0);
    auto printed = lines(output);
    ASSERT_EQ(printed.size(), 1u) << output;
    long long offset = 0;
    ASSERT_EQ(sscanf(printed[0].c_str(), "alert %lld", &offset), 1) << printed[0];
    // Four hPa are gone two hours into the fall, at 5 h.
    EXPECT_GE(offset, 5 * 3600);
    EXPECT_LE(offset, 5 * 3600 + 1800);

    ASSERT_EQ(runProgram({OSTRACTL_PATH, "storm", "replay", root.path() + "/missing.csv"}), 1);
    EXPECT_EQ(runProgram({OSTRACTL_PATH, "storm", "replay"}), 2);
}

std::vector<ostra::RecorderBucket> stored(long long from, long long to) {
    ostra::RecorderStore store;
    std::vector<ostra::RecorderBucket> buckets;
    store.query(from, to, &buckets);
    return buckets;
}

TEST(StormTools, ExportedHistoryImportsBackBucketForBucket) {
    testsupport::TempRoot root;
    long long end = ostra::RecorderStore::bucketStart(nowSeconds()) - 600;
    {
        // Odd values and a 40-minute gap the export must keep.
        std::ofstream out(root.path() + "/in.csv");
        for (int i = 0; i < 150; ++i) {
            if (i < 60 || i > 80) {
                out << i * 120 << "," << 1000.0 + i * 0.013 + (i % 7) * 0.0471 << "\n";
            }
        }
    }
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "sensor", "import", root.path() + "/in.csv", "--end",
                          std::to_string(end)}),
              0);
    auto original = stored(0, end + 1);
    ASSERT_EQ(original.size(), 129u);

    std::string csv = root.path() + "/out.csv";
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "sensor", "export", csv}), 0);
    ASSERT_EQ(
        runProgram({OSTRACTL_PATH, "sensor", "export", root.path() + "/hour.csv", "--hours", "1"}),
        0);
    {
        testsupport::TempRoot fresh;
        ASSERT_EQ(runProgram({OSTRACTL_PATH, "sensor", "import", csv, "--end",
                              std::to_string(original.back().start)}),
                  0);
        auto copy = stored(0, end + 1);
        ASSERT_EQ(copy.size(), original.size());
        for (size_t i = 0; i < copy.size(); ++i) {
            EXPECT_EQ(copy[i].start, original[i].start);
            EXPECT_NEAR(copy[i].hPa, original[i].hPa, 1e-6);
        }
    }
    // The last hour: the buckets that started within it, and the comment line.
    auto hour = lines(readFile(root.path() + "/hour.csv"));
    ASSERT_FALSE(hour.empty());
    EXPECT_EQ(hour[0][0], '#');
    EXPECT_EQ(hour.size() - 1, stored(nowSeconds() - 3600, end + 1).size());
    EXPECT_EQ(runProgram({OSTRACTL_PATH, "sensor", "export", csv, "--hours", "zero"}), 2);
}

// The recorder daemon over a history whose last three hours fall 6 hPa.
class DaemonStorm : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("OSTRA_SENSOR", "sim", 1);
        setenv("ELM_DISPLAY", "buffer", 1);
        setenv("ELM_ACCEL", "none", 1);
        // The alert draws one frame and quits on its own.
        setenv("OSTRA_SCREENSHOT", (root.path() + "/alert.png:1").c_str(), 1);
        setenv("OSTRA_SCREENSHOT_EXIT", "1", 1);
        std::string csv = stormCsv(root.path() + "/storm.csv", 4, 1);
        ASSERT_EQ(runProgram({OSTRACTL_PATH, "sensor", "import", csv, "--end",
                              std::to_string(nowSeconds() - 30)}),
                  0);
    }
    void TearDown() override {
        runProgram({OSTRACTL_PATH, "sensor", "recorder", "stop"});
        for (const char* name : {"OSTRA_SENSOR", "ELM_DISPLAY", "ELM_ACCEL", "OSTRA_SCREENSHOT",
                                 "OSTRA_SCREENSHOT_EXIT"}) {
            unsetenv(name);
        }
    }
    std::string usageLog() const {
        return readFile(root.path() + "/apps/" OSTRA_TEST_PACKAGE_ID "/data/usage-log.jsonl");
    }
    std::string daemonLog() const { return readFile(root.path() + "/system/ostra-sensord.log"); }

    testsupport::TempRoot root;
};

TEST_F(DaemonStorm, LaunchesTheAlertWhenAlertsAreOn) {
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "pref", "set", "ZENTREL_SETTING_ALERT", "int", "1"}), 0);
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "sensor", "recorder", "start"}), 0);
    // "ZN05": the alert was shown.
    ASSERT_TRUE(testsupport::runUntil(
        [&] { return usageLog().find("\"ZN05\"") != std::string::npos; }, 30000))
        << daemonLog();
    EXPECT_TRUE(testsupport::runUntil(
        [&] { return g_file_test((root.path() + "/alert.png").c_str(), G_FILE_TEST_EXISTS); },
        10000));
    std::string state;
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "storm"}, &state), 0);
    EXPECT_NE(state.find("alerted, waiting for the fall to end"), std::string::npos) << state;
    EXPECT_EQ(state.find("last alert: never"), std::string::npos) << state;

    // A restarted daemon does not warn again for the same storm.
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "sensor", "recorder", "stop"}), 0);
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "sensor", "recorder", "start"}), 0);
    testsupport::runUntil([] { return false; }, 1500);
    size_t first = usageLog().find("\"ZN05\"");
    EXPECT_EQ(usageLog().find("\"ZN05\"", first + 1), std::string::npos);
}

TEST_F(DaemonStorm, AlertProgramRefusesWhenAlertsAreOff) {
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "sensor", "recorder", "start"}), 0);
    ASSERT_TRUE(testsupport::runUntil(
        [&] {
            return daemonLog().find("Alert setting is off. App cannot launched.") !=
                   std::string::npos;
        },
        30000))
        << daemonLog();
    EXPECT_EQ(usageLog().find("\"ZN05\""), std::string::npos);
    EXPECT_FALSE(g_file_test((root.path() + "/alert.png").c_str(), G_FILE_TEST_EXISTS));
}

}  // namespace
