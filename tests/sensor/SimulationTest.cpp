#include <gtest/gtest.h>

#include <algorithm>

#include "PressureTrace.h"
#include "PressureTrend.h"
#include "SimPressureSource.h"

using ostra::PressureTrace;
using ostra::SimPressureSource;
using ostra::TraceRow;

namespace {

constexpr double kT0 = 1700000000.0;

// Largest fall from any point to any later point within `window` seconds.
double largestFall(const SimPressureSource& sim, double from, double span, double window) {
    double worst = 0;
    for (double t = from; t < from + span; t += 300) {
        for (double u = t; u <= t + window; u += 300) {
            worst = std::max(worst, sim.at(t).hPa - sim.at(u).hPa);
        }
    }
    return worst;
}

}  // namespace

TEST(Simulation, SameSeedSameWeatherAndBelievableValues) {
    SimPressureSource a(SimPressureSource::Scenario::Steady, 7);
    SimPressureSource b(SimPressureSource::Scenario::Steady, 7);
    SimPressureSource other(SimPressureSource::Scenario::Steady, 8);
    bool differs = false;
    for (double t = kT0; t < kT0 + 86400; t += 997) {
        EXPECT_DOUBLE_EQ(a.at(t).hPa, b.at(t).hPa);
        differs |= a.at(t).hPa != other.at(t).hPa;
        EXPECT_TRUE(a.at(t).working);
        // 120 m under a sea-level pressure of 1013 +- 3 hPa.
        EXPECT_GT(a.at(t).hPa, 995.0);
        EXPECT_LT(a.at(t).hPa, 1004.0);
    }
    EXPECT_TRUE(differs);
    // Steady: never a trend over any three hours of a day.
    EXPECT_LT(largestFall(a, kT0, 86400, 5400), ostra::PressureTrend::kThresholdHpa);
}

TEST(Simulation, ScenariosHikeStormAndFailure) {
    SimPressureSource storm(SimPressureSource::Scenario::Storm, 1);
    EXPECT_GT(largestFall(storm, kT0, 12 * 3600, 3 * 3600), 4.0);

    // The hike climbs 600 m: about 70 hPa between the foot and the top.
    SimPressureSource hike(SimPressureSource::Scenario::Hike, 1);
    double low = 2000;
    double high = 0;
    for (double t = kT0; t < kT0 + 8 * 3600; t += 60) {
        low = std::min(low, hike.at(t).hPa);
        high = std::max(high, hike.at(t).hPa);
    }
    EXPECT_GT(high - low, 60.0);
    EXPECT_LT(high - low, 80.0);

    SimPressureSource failing(SimPressureSource::Scenario::Failure, 1);
    EXPECT_FALSE(failing.at(kT0).working);

    SimPressureSource::Scenario parsed;
    EXPECT_TRUE(SimPressureSource::parseScenario("storm", &parsed));
    EXPECT_EQ(parsed, SimPressureSource::Scenario::Storm);
    EXPECT_FALSE(SimPressureSource::parseScenario("tornado", &parsed));
}

TEST(Simulation, TraceLinesAndBuckets) {
    TraceRow row;
    ASSERT_TRUE(PressureTrace::parseLine(" 60 , 1001.5 , 0 ", &row));
    EXPECT_DOUBLE_EQ(row.offset, 60.0);
    EXPECT_DOUBLE_EQ(row.hPa, 1001.5);
    EXPECT_FALSE(row.working);
    for (const char* bad : {"", "1", "1,2,3,4", "x,1000", "1,inf", "1,1000,maybe", "-5,1000"}) {
        EXPECT_FALSE(PressureTrace::parseLine(bad, &row)) << bad;
    }

    // Not-working rows leave no trace; the last row lands on the end time.
    std::vector<TraceRow> rows = {
        {0, 1000, true}, {60, 1002, true}, {120, 0, false}, {180, 1010, true}};
    auto buckets = PressureTrace::toBuckets(rows, 1699999980);
    ASSERT_EQ(buckets.size(), 2u);
    EXPECT_EQ(buckets[0].start, 1699999800);
    EXPECT_DOUBLE_EQ(buckets[0].hPa, 1001.0);
    EXPECT_EQ(buckets[0].samples, 2);
    EXPECT_EQ(buckets[1].start, 1699999920);
    EXPECT_DOUBLE_EQ(buckets[1].hPa, 1010.0);
}

TEST(Simulation, TrendNeedsSpreadAndUsesTheThreshold) {
    long long now = 1700000000;
    auto bucketsOf = [&](std::vector<std::pair<long long, double>> points) {
        std::vector<ostra::RecorderBucket> out;
        for (auto& p : points) {
            out.push_back({now - p.first, p.second, 10});
        }
        return out;
    };
    // Two buckets only two minutes apart say nothing about a trend.
    EXPECT_EQ(ostra::PressureTrend::code(bucketsOf({{600, 1000}, {480, 999}}), now), 0x88);
    // Scaled to the half's 90 minutes, 0.3 hPa in 45 minutes is a fall; 0.2 is not.
    EXPECT_EQ(ostra::PressureTrend::code(bucketsOf({{5400, 1000}, {2700, 999.7}}), now), 0x81);
    EXPECT_EQ(ostra::PressureTrend::code(bucketsOf({{5400, 1000}, {2700, 999.8}}), now), 0x82);
    EXPECT_EQ(ostra::PressureTrend::code(bucketsOf({{5400, 1000}, {2700, 1000.3}}), now), 0x84);
    // Data only in the older half is stale: no data.
    EXPECT_EQ(ostra::PressureTrend::code(bucketsOf({{10000, 1000}, {6000, 1000}}), now), 0x88);
}
