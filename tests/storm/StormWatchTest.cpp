// The storm watch over recordings: storms warn once, steady weather, noise,
// height changes and falls just under the threshold do not.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "SimPressureSource.h"
#include "StormTraces.h"
#include "StormWatch.h"
#include "TestSupport.h"

namespace {

using stormtest::alertHours;
using stormtest::atHeight;
using stormtest::record;

// Steady at 1013 hPa, then falling `rate` hPa per hour for `hours` from
// `from`, then steady again.
std::function<double(double)> fall(double from, double hours, double rate) {
    return [=](double h) {
        double fallen = std::clamp(h - from, 0.0, hours) * rate;
        return 1013.0 - fallen;
    };
}

TEST(StormWatch, StormWarnsOnceWhenTheFallPassesFourHpaAndStillFalls) {
    // 2 hPa per hour from hour 4 for five hours: more than 4 hPa after two hours.
    auto alerts = alertHours(record(16, fall(4, 5, 2.0), 0.1));
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_GT(alerts[0], 6.0);
    EXPECT_LT(alerts[0], 6.5);
}

TEST(StormWatch, SteadyWeatherNoiseAndFallsJustUnderTheThresholdStayQuiet) {
    EXPECT_TRUE(alertHours(record(24, fall(0, 0, 0), 0.4)).empty());
    // 3.6 hPa within three hours, then level, with a few tenths of noise.
    EXPECT_TRUE(alertHours(record(12, fall(3, 3, 1.2), 0.3)).empty());
    // A long gentle fall (1.2 hPa per hour for ten hours) never holds 4 hPa in three hours.
    EXPECT_TRUE(alertHours(record(16, fall(2, 10, 1.2), 0.3)).empty());
    // The same noise on 4.6 hPa within three hours does warn.
    EXPECT_EQ(alertHours(record(12, fall(3, 3, 1.53), 0.3)).size(), 1u);
}

TEST(StormWatch, HeightChangesAreNotStorms) {
    // A lift 80 m up within a minute at hour 4, staying up (a level shift that holds).
    auto lift = [](double h) { return h < 4.0 ? 1013.0 : atHeight(1013.0, 80.0); };
    EXPECT_TRUE(alertHours(record(12, lift, 0.1)).empty());

    // A 45-minute drive up 500 m, then staying there.
    auto drive = [](double h) {
        return atHeight(1010.0, 500.0 * std::clamp((h - 3.0) / 0.75, 0.0, 1.0));
    };
    EXPECT_TRUE(alertHours(record(12, drive, 0.1)).empty());

    // A climb of 150 m per hour for three hours with a rest at the top.
    auto climb = [](double h) { return atHeight(1013.0, 150.0 * std::clamp(h - 2.0, 0.0, 3.0)); };
    EXPECT_TRUE(alertHours(record(12, climb, 0.1)).empty());

    // A storm that starts after the lift ride still warns, once.
    auto liftThenStorm = [](double h) {
        double weather = 1013.0 - 2.0 * std::clamp(h - 5.0, 0.0, 4.0);
        return h < 2.0 ? weather : atHeight(weather, 80.0);
    };
    EXPECT_EQ(alertHours(record(12, liftThenStorm, 0.1)).size(), 1u);
}

std::vector<ostra::RecorderBucket> simulated(ostra::SimPressureSource::Scenario scenario,
                                             double hours) {
    ostra::SimPressureSource sim(scenario, 1);
    return record(hours, [&](double h) {
        // The average of the bucket's readings, as the daemon stores it.
        double start = static_cast<double>(stormtest::kStart) + (h * 3600.0 - 60.0);
        double sum = 0.0;
        for (int s = 0; s < 120; s += 10) {
            sum += sim.at(start + s).hPa;
        }
        return sum / 12.0;
    });
}

TEST(StormWatch, SimulatedHikeNeverWarnsAndSimulatedStormWarnsOncePerStorm) {
    EXPECT_TRUE(alertHours(simulated(ostra::SimPressureSource::Scenario::Hike, 24)).empty());
    EXPECT_TRUE(alertHours(simulated(ostra::SimPressureSource::Scenario::Steady, 24)).empty());
    // The storm falls for five hours of every twelve.
    auto alerts = alertHours(simulated(ostra::SimPressureSource::Scenario::Storm, 24));
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_NEAR(alerts[1] - alerts[0], 12.0, 0.2);
}

TEST(StormWatch, TwoStormsADayApartAndOneLongFall) {
    // Each storm falls 8 hPa in four hours; the pressure recovers over the next eight.
    auto twoStorms = [](double h) {
        return 1013.0 - 2.0 * std::clamp(h - 3.0, 0.0, 4.0) + std::clamp(h - 7.0, 0.0, 8.0) -
               2.0 * std::clamp(h - 27.0, 0.0, 4.0);
    };
    auto alerts = alertHours(record(36, twoStorms, 0.2));
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_NEAR(alerts[1] - alerts[0], 24.0, 0.3);

    // Fourteen hours of falling whose rate wobbles around the alert's pace.
    auto longFall = [](double h) {
        double t = std::clamp(h - 1.0, 0.0, 14.0);
        return 1020.0 - 1.6 * t - 0.4 * std::sin(t * 3.0);
    };
    EXPECT_EQ(alertHours(record(18, longFall, 0.2)).size(), 1u);
}

TEST(StormWatch, NeedsHalfAnHourOfDataAndReportsWhatItSees) {
    // Twenty minutes of a steep fall are too little to judge.
    auto shortRecord = record(20.0 / 60.0, fall(0, 1, 3.9));
    long long end = shortRecord.back().start + ostra::RecorderStore::kBucketSeconds;
    EXPECT_FALSE(ostra::StormWatch::view(shortRecord, end).enoughData);
    EXPECT_TRUE(ostra::StormWatch::replay(shortRecord).empty());

    auto storm = record(6, fall(1, 5, 2.0));
    end = storm.back().start + ostra::RecorderStore::kBucketSeconds;
    ostra::StormView view = ostra::StormWatch::view(storm, end);
    ASSERT_TRUE(view.enoughData);
    EXPECT_NEAR(view.drop, 5.8, 0.3);
    EXPECT_NEAR(view.fallRate, -2.0, 0.1);
}

TEST(StormWatch, StateSurvivesARestartSoOneStormWarnsOnce) {
    testsupport::TempRoot root;
    auto storm = record(10, fall(2, 6, 2.0));
    // The daemon decides after each bucket; it restarts halfway through the fall.
    ostra::StormWatch first(ostra::StormWatch::load());
    EXPECT_TRUE(first.state().armed);
    int alerts = 0;
    size_t restartAt = storm.size() * 6 / 10;
    for (size_t i = 0; i < restartAt; ++i) {
        std::vector<ostra::RecorderBucket> upTo(storm.begin(), storm.begin() + i + 1);
        alerts += first.decide(upTo, storm[i].start + 120);
        ostra::StormWatch::save(first.state());
    }
    ASSERT_EQ(alerts, 1);
    ostra::StormWatch second(ostra::StormWatch::load());
    EXPECT_FALSE(second.state().armed);
    EXPECT_EQ(second.state().lastAlert, first.state().lastAlert);
    for (size_t i = restartAt; i < storm.size(); ++i) {
        std::vector<ostra::RecorderBucket> upTo(storm.begin(), storm.begin() + i + 1);
        alerts += second.decide(upTo, storm[i].start + 120);
    }
    EXPECT_EQ(alerts, 1);
}

}  // namespace
