// The six-hour trace run.sh and screenshots.sh store: regular rows, a swing
// of a few hPa, ending at the live reading it is given, and taken by the
// recorder as six hours of history.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

TEST(DemoTraceTest, SixRegularHoursEndingAtTheLiveReadingFillTheRecorder) {
    testsupport::TempRoot root;
    std::string csv;
    ASSERT_EQ(testsupport::runProgram({PRESSURE_TRACE_SCRIPT, "--end-hpa", "1001.7"}, &csv), 0);
    std::istringstream lines(csv);
    std::string line;
    std::vector<int> offsets;
    std::vector<double> hPa;
    while (std::getline(lines, line)) {
        size_t comma = line.find(',');
        ASSERT_NE(comma, std::string::npos) << line;
        offsets.push_back(std::stoi(line.substr(0, comma)));
        hPa.push_back(std::stod(line.substr(comma + 1)));
    }
    ASSERT_EQ(offsets.size(), 181u);
    for (size_t i = 0; i < offsets.size(); ++i) {
        EXPECT_EQ(offsets[i], static_cast<int>(i) * 120);
    }
    EXPECT_NEAR(hPa.back(), 1001.7, 0.25);
    auto [low, high] = std::minmax_element(hPa.begin(), hPa.end());
    EXPECT_GT(*high - *low, 2.0);
    EXPECT_LT(*high - *low, 6.0);
    // Neighbouring rows differ by drift and noise, never by a jump.
    for (size_t i = 1; i < hPa.size(); ++i) {
        EXPECT_LT(std::abs(hPa[i] - hPa[i - 1]), 0.5) << "row " << i;
    }

    const std::string file = root.path() + "/trace.csv";
    ASSERT_TRUE(g_file_set_contents(file.c_str(), csv.c_str(), -1, nullptr));
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "sensor", "import", file, "--end", "now"}),
              0);
    std::string show;
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "sensor", "show"}, &show), 0);
    EXPECT_NE(show.find("history:  180 buckets in the last six hours"), std::string::npos) << show;
}

std::string prepareHistory(const std::string& source) {
    std::string script = "cd " SOURCE_DIR " && OSTRACTL=" OSTRACTL_PATH " OSTRA_SENSOR=" + source +
                         " && export OSTRACTL OSTRA_SENSOR && source scripts/headless.sh && "
                         "prepare_history && $OSTRACTL sensor show";
    std::string output;
    testsupport::runProgram({"/bin/bash", "-c", script}, &output);
    return output;
}

// The made-up hours go only into the simulated sensor's empty history.
TEST(DemoTraceTest, SimulatedHoursOnlyForTheSimulatedSensor) {
    {
        testsupport::TempRoot root;
        std::string output = prepareHistory("iio");
        EXPECT_NE(output.find("no simulated hours for the iio source"), std::string::npos)
            << output;
        EXPECT_NE(output.find("history:  0 buckets"), std::string::npos) << output;
    }
    testsupport::TempRoot root;
    std::string output = prepareHistory("sim");
    EXPECT_NE(output.find("storing six simulated hours"), std::string::npos) << output;
    EXPECT_NE(output.find("history:  180 buckets"), std::string::npos) << output;
}

}  // namespace
