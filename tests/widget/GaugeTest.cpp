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

struct LabelInk {
    int white = 0;  // the label at the sector end
    int grey = 0;   // ahead of the sector
    int black = 0;  // passed by the sector
};

// Counts the label's pixels by colour around an angle, on the stroke.
LabelInk labelInk(ZentrelWidgetGauge& gauge, double degrees) {
    Evas_Object* image = gauge.getEvasObj();
    auto* data = static_cast<const unsigned int*>(evas_object_image_data_get(image, EINA_FALSE));
    const int stride = evas_object_image_stride_get(image) / 4;
    LabelInk ink;
    for (int y = 0; y < 360; ++y) {
        for (int x = 0; x < 360; ++x) {
            const double r = std::hypot(x + 0.5 - 180, y + 0.5 - 180);
            double a = atan2(y + 0.5 - 180, x + 0.5 - 180) * 180 / kPi;
            a = a < 0 ? a + 360 : a;
            if (r < 164 || r > 176 || std::fabs(a - degrees) > 3) {
                continue;
            }
            const unsigned int p = data[y * stride + x];
            const int cr = (p >> 16) & 0xff, cg = (p >> 8) & 0xff, cb = p & 0xff;
            ink.white += cr > 220 && cg > 220 && cb > 220;
            ink.grey += cr > 120 && cr < 200 && std::abs(cr - cg) < 12 && std::abs(cg - cb) < 12;
            ink.black += cr < 40 && cg < 40;
        }
    }
    evas_object_image_data_set(image, const_cast<unsigned int*>(data));
    return ink;
}

TEST(WidgetGauge, LabelIsDrawnInTheColourOfItsSideOfTheSectorEnd) {
    widgettest::WidgetEnvironment env;
    Evas_Object* win = uitest::addWindow("gauge");
    ZentrelWidgetGauge gauge;
    ASSERT_NE(gauge.create(win), nullptr);
    // The "990" label sits at 307.8 degrees, where the sector ends at 990 hPa.
    gauge.updateValue(960.0, "", "960");
    LabelInk ahead = labelInk(gauge, 307.8);
    EXPECT_GT(ahead.grey, 5);
    EXPECT_EQ(ahead.white, 0);
    gauge.updateValue(990.0, "", "990");
    LabelInk atEnd = labelInk(gauge, 307.8);
    EXPECT_GT(atEnd.white, 5);
    EXPECT_GT(atEnd.black, 0) << "the shadow";
    gauge.updateValue(1020.0, "", "1020");
    LabelInk passed = labelInk(gauge, 307.8);
    EXPECT_GT(passed.black, 5);
    EXPECT_EQ(passed.white, 0);
    EXPECT_EQ(passed.grey, 0);
    evas_object_del(win);
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
