// The dial: where the sectors end at the edges of their ranges, which colour
// a label takes around the sector end, and what the picture shows.
#include <ZentrelWidgetGauge.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "WidgetTestSupport.h"

namespace {

constexpr double kPi = 3.141592653589793;

double rad(double degrees) {
    return degrees * kPi / 180.0;
}

// One pixel of the dial at an angle and radius, as 0xRRGGBB.
unsigned int dialPixel(ZentrelWidgetGauge& gauge, double degrees, double radius) {
    Evas_Object* image = gauge.getEvasObj();
    auto* data = static_cast<const unsigned int*>(evas_object_image_data_get(image, EINA_FALSE));
    const int stride = evas_object_image_stride_get(image) / 4;
    const int x = static_cast<int>(lround(180 + radius * cos(rad(degrees))));
    const int y = static_cast<int>(lround(180 + radius * sin(rad(degrees))));
    unsigned int pixel = data[y * stride + x];
    evas_object_image_data_set(image, const_cast<unsigned int*>(data));
    return pixel & 0xffffff;
}

unsigned int red(unsigned int rgb) {
    return (rgb >> 16) & 0xff;
}

unsigned int green(unsigned int rgb) {
    return (rgb >> 8) & 0xff;
}

size_t dialHash(ZentrelWidgetGauge& gauge) {
    Evas_Object* image = gauge.getEvasObj();
    auto* data = static_cast<const unsigned int*>(evas_object_image_data_get(image, EINA_FALSE));
    const int stride = evas_object_image_stride_get(image) / 4;
    size_t hash = 0;
    for (int i = 0; i < stride * 360; ++i) {
        hash = hash * 31 + std::hash<unsigned int>()(data[i]);
    }
    evas_object_image_data_set(image, const_cast<unsigned int*>(data));
    return hash;
}

TEST(WidgetGauge, SectorEndsAtTheEdgesOfTheRanges) {
    EXPECT_DOUBLE_EQ(ZentrelWidgetGauge::baroSectorAngle(350.0), 82.0);
    EXPECT_DOUBLE_EQ(ZentrelWidgetGauge::baroSectorAngle(1150.0), -87.0);
    EXPECT_DOUBLE_EQ(ZentrelWidgetGauge::baroSectorAngle(1200.0), -87.0);
    EXPECT_NEAR(ZentrelWidgetGauge::baroSectorAngle(1013.25), -57.256875, 1e-9);
    EXPECT_NEAR(ZentrelWidgetGauge::baroSectorAngle(750.0), 0.0, 1e-9);

    EXPECT_DOUBLE_EQ(ZentrelWidgetGauge::altiSectorAngle(-800.0), 98.0);
    EXPECT_DOUBLE_EQ(ZentrelWidgetGauge::altiSectorAngle(8800.0), 267.0);
    EXPECT_DOUBLE_EQ(ZentrelWidgetGauge::altiSectorAngle(12000.0), 267.0);
    EXPECT_NEAR(ZentrelWidgetGauge::altiSectorAngle(4000.0), 180.0, 1e-9);
    // The labels sit where the sectors reach their values.
    EXPECT_NEAR(ZentrelWidgetGauge::altiSectorAngle(1120.0), 93 + 34.8, 1e-4);
    EXPECT_NEAR(ZentrelWidgetGauge::baroSectorAngle(990.0), 273 + 34.8 - 360, 1e-4);
}

TEST(WidgetGauge, LabelColourFollowsTheSectorEnd) {
    const double half = 0.05;
    const double alti = rad(127.8);
    EXPECT_STREQ(ZentrelWidgetGauge::altiLabelColorCode(alti, half, alti - half - 1e-3), "AT0235");
    EXPECT_STREQ(ZentrelWidgetGauge::altiLabelColorCode(alti, half, alti - half + 1e-3), "AT0236");
    EXPECT_STREQ(ZentrelWidgetGauge::altiLabelColorCode(alti, half, alti + half - 1e-3), "AT0236");
    EXPECT_STREQ(ZentrelWidgetGauge::altiLabelColorCode(alti, half, alti + half + 1e-3), "AT0234");

    // The pressure sector grows counter-clockwise: a smaller angle has passed.
    const double low = rad(52.2);
    EXPECT_STREQ(ZentrelWidgetGauge::baroLabelColorCode(low, half, low + half + 1e-3), "AT0235");
    EXPECT_STREQ(ZentrelWidgetGauge::baroLabelColorCode(low, half, low), "AT0236");
    EXPECT_STREQ(ZentrelWidgetGauge::baroLabelColorCode(low, half, low - half - 1e-3), "AT0234");
    EXPECT_STREQ(ZentrelWidgetGauge::baroLabelColorCode(low, half, rad(-30)), "AT0234");

    // Beyond 273 degrees the sector end counts from 0 to 360.
    const double high = rad(307.8);
    EXPECT_STREQ(ZentrelWidgetGauge::baroLabelColorCode(high, half, rad(60)), "AT0235");
    EXPECT_STREQ(ZentrelWidgetGauge::baroLabelColorCode(high, half, rad(-30)), "AT0235");
    EXPECT_STREQ(ZentrelWidgetGauge::baroLabelColorCode(high, half, high - 2 * kPi), "AT0236");
    EXPECT_STREQ(ZentrelWidgetGauge::baroLabelColorCode(high, half, rad(-80)), "AT0234");
}

TEST(WidgetGauge, PictureShowsTracksSectorsAndTheAltitudeOnlyWithAReference) {
    widgettest::WidgetEnvironment env;
    Evas_Object* win = uitest::addWindow("gauge");
    ZentrelWidgetGauge gauge;
    EXPECT_EQ(gauge.create(nullptr), nullptr);
    Evas_Object* image = gauge.create(win);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(gauge.create(win), image);
    evas_object_show(image);

    gauge.updateValue(1013.25, "--", "1013");
    EXPECT_NEAR(gauge.getCurBaroAngle(), rad(-57.256875), 1e-9);
    EXPECT_LT(green(dialPixel(gauge, 100, 177)), 80u) << "no altitude sector without a reference";
    EXPECT_LT(green(dialPixel(gauge, 180, 177)), 80u);
    EXPECT_GT(red(dialPixel(gauge, 70, 177)), 200u) << "pressure sector";
    EXPECT_LT(red(dialPixel(gauge, 290, 177)), 80u) << "pressure track beyond the sector";
    EXPECT_EQ(dialPixel(gauge, 0, 120), 0u) << "inside the arcs stays clear";

    widgettest::calibrateAt(1013.25);
    gauge.updateValue(1013.25, "0", "1013");
    EXPECT_NEAR(gauge.getCurAltiAngle(), rad(93 + 0.018125 * 800), 1e-3);
    EXPECT_GT(green(dialPixel(gauge, 100, 177)), 150u) << "altitude sector";
    EXPECT_LT(green(dialPixel(gauge, 180, 177)), 80u) << "altitude track beyond the sector";

    // Every redraw starts from a fresh shading: the picture stays the same.
    const size_t first = dialHash(gauge);
    for (int i = 0; i < 200; ++i) {
        gauge.updateValue(1013.25, "0", "1013");
    }
    EXPECT_EQ(dialHash(gauge), first);
    evas_object_del(win);
}

}  // namespace
