#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "StringUtil.h"
#include "TestSupport.h"

namespace {

TEST(StringUtil, ReplaceChangesOnlyTheFirstOccurrence) {
    EXPECT_EQ(StringUtil::StringReplace("%s and %s", "%s", "x"), "x and %s");
    EXPECT_EQ(StringUtil::StringReplace("no marker", "%s", "x"), "no marker");
    EXPECT_EQ(StringUtil::StringReplace("lat=[LAT]&lon=[LON]", "[LON]", "126.98"),
              "lat=[LAT]&lon=126.98");
    EXPECT_EQ(StringUtil::StringReplace("abc", "abc", ""), "");
}

TEST(StringUtil, NumberTextValidation) {
    EXPECT_FALSE(StringUtil::IsValidDoubleType(""));
    EXPECT_TRUE(StringUtil::IsValidDoubleType("1013.25"));
    EXPECT_TRUE(StringUtil::IsValidDoubleType("1.2.3"));
    EXPECT_TRUE(StringUtil::IsValidDoubleType(",,"));
    EXPECT_FALSE(StringUtil::IsValidDoubleType("-1.0"));
    EXPECT_FALSE(StringUtil::IsValidDoubleType("1e3"));
    EXPECT_FALSE(StringUtil::IsValidDoubleType("10 "));
    EXPECT_FALSE(StringUtil::IsValidIntegerType(""));
    EXPECT_TRUE(StringUtil::IsValidIntegerType("1500000000"));
    EXPECT_FALSE(StringUtil::IsValidIntegerType("15e8"));
    EXPECT_FALSE(StringUtil::IsValidIntegerType("+1"));
    EXPECT_FALSE(StringUtil::IsValidIntegerType("1.0"));
}

TEST(StringUtil, DoubleTextConversions) {
    EXPECT_EQ(StringUtil::DoubleToString(37.5, 2), "37.50");
    EXPECT_EQ(StringUtil::DoubleToString(37.5, 0), "37.500000");
    EXPECT_EQ(StringUtil::DoubleToString(-126.978, 6), "-126.978000");
    EXPECT_EQ(StringUtil::DoubleToString(std::nan(""), 2), "0.00");

    testsupport::LogCapture logs;
    EXPECT_EQ(StringUtil::StringToDouble("1013.25"), 1013.25);
    EXPECT_FALSE(logs.contains("Invalid string"));
    EXPECT_EQ(StringUtil::StringToDouble("abc"), 0.0);
    EXPECT_TRUE(logs.contains("Invalid string"));
    EXPECT_EQ(StringUtil::StringToDouble("-3.5 hPa"), -3.5);
    EXPECT_EQ(StringUtil::StringToDouble(""), 0.0);
}

TEST(StringUtil, HugePrecisionIsCappedInsteadOfExhaustingTheStack) {
    const std::string capped = StringUtil::DoubleToString(1013.25, StringUtil::MAX_PRECISION);
    EXPECT_EQ(capped.size(), std::string("1013.").size() + StringUtil::MAX_PRECISION);
    EXPECT_EQ(capped.rfind("1013.25000", 0), 0u) << capped;
    for (int precision :
         {StringUtil::MAX_PRECISION + 1, 1 << 20, std::numeric_limits<int>::max()}) {
        EXPECT_EQ(StringUtil::DoubleToString(1013.25, precision), capped) << precision;
    }
    // The widest value still prints whole.
    std::string widest = StringUtil::DoubleToString(-std::numeric_limits<double>::max(), 1 << 30);
    EXPECT_EQ(widest.size(), 1 + 309 + 1 + static_cast<size_t>(StringUtil::MAX_PRECISION));
}

TEST(StringUtil, ColourTags) {
    EXPECT_EQ(StringUtil::GetColorTagedString(255, 0, 16, 128, 24, "Hi", ""),
              "<color=#ff001080 font_size=24>Hi</color>");
    EXPECT_EQ(StringUtil::GetColorTagedString(1, 2, 3, 4, 20, "x", "Roboto:style=Medium"),
              "<color=#01020304 font_size=20 font=Roboto:style=Medium>x</color>");
}

}  // namespace
