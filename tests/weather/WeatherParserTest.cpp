#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "WeatherHuafengAccuParser.h"
#include "WeatherNewsParser.h"
#include "WeatherTwcParser.h"

using testsupport::LogCapture;

namespace {

// Parses a body given without its terminator, as the HTTP engine hands it over.
template <typename Parser>
WeatherDataPtr parse(Parser& parser, const std::string& body) {
    std::string copy = body + "GARBAGE-AFTER-THE-BODY";
    parser.ReleaseParseData();
    parser.Parse(copy.data(), static_cast<int>(body.size()));
    return parser.GetCpWeatherData();
}

std::string twc(const std::string& current) {
    return R"({"v3-location-point":{"location":{"city":"Seoul"}},"v3-wx-observations-current":)" +
           current + "}";
}

TEST(WeatherData, FreshRecordHoldsTheInitialValues) {
    WeatherData data;
    EXPECT_EQ(data.GetAtmPressure(), 0.0);
    EXPECT_EQ(data.GetAtmUnit(), ATM_PRESSURE_UNIT_TYPE_MB);
    EXPECT_EQ(data.GetCPtype(), WEATHER_CP_TYPE_INVALID);
    EXPECT_EQ(data.GetWeatherInfoType(), WEATHER_INFO_TYPE_INVALID);
    EXPECT_EQ(data.getTemperature(), 99999.0);
}

TEST(WeatherTwcParser, RealisticAnswerAndTemperatureArithmetic) {
    WeatherTwcParser parser;
    auto data = parse(parser, twc(R"({"validTimeUtc":1471264620,"pressureMeanSeaLevel":1009.8,
        "temperature":50,"relativeHumidity":60,"wxPhraseLong":"Partly Cloudy"})"));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->GetWeatherInfoUpdateTimeMiliSec(), 1471264620000.0);
    EXPECT_EQ(data->GetAtmPressure(), 1009.8);
    EXPECT_EQ(data->GetAtmUnit(), ATM_PRESSURE_UNIT_TYPE_MB);
    EXPECT_EQ(data->getTemperature(), 10.0);
    EXPECT_EQ(data->GetCPtype(), WEATHER_CP_TYPE_TWC);
    EXPECT_EQ(data->GetWeatherInfoType(), WEATHER_INFO_TYPE_CURRENT_CONDITION);

    // (t - 32) * 5 in integers, then / 9.0; an integer pressure reads too.
    data = parse(parser, twc(R"({"temperature":33,"pressureMeanSeaLevel":1013})"));
    ASSERT_NE(data, nullptr);
    EXPECT_DOUBLE_EQ(data->getTemperature(), 5 / 9.0);
    EXPECT_EQ(data->GetAtmPressure(), 1013.0);
    data = parse(parser, twc(R"({"temperature":-40,"pressureMeanSeaLevel":"1001.5"})"));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->getTemperature(), -40.0);
    EXPECT_EQ(data->GetAtmPressure(), 1001.5);
}

TEST(WeatherTwcParser, MissingValuesKeepInitialsAndStructuralFailuresGiveNothing) {
    WeatherTwcParser parser;
    LogCapture logs;
    auto data = parse(parser, twc("{}"));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->GetAtmPressure(), 0.0);
    EXPECT_EQ(data->getTemperature(), 99999.0);
    EXPECT_EQ(data->GetWeatherInfoUpdateTimeMiliSec(), 0.0);
    EXPECT_TRUE(logs.contains("No UTC time value"));
    EXPECT_TRUE(logs.contains("No pressure value"));
    EXPECT_TRUE(logs.contains("No temperature value"));

    const std::pair<std::string, std::string> broken[] = {
        {"{not json", "Failed get root node"},
        {"[1,2]", "weatherInfoRootObject null"},
        {R"({"other":{}})", "key [v3-wx-observations-current] is not found"},
        {R"({"v3-wx-observations-current":[1]})", "currentObject is null"},
    };
    for (const auto& [body, message] : broken) {
        logs.clear();
        EXPECT_EQ(parse(parser, body), nullptr) << body;
        EXPECT_TRUE(logs.contains(message)) << body;
    }
}

TEST(WeatherParser, ParseTwiceWithoutReleaseKeepsTheFirstTree) {
    WeatherTwcParser parser;
    LogCapture logs;
    std::string first = twc(R"({"pressureMeanSeaLevel":1001.0})");
    std::string second = twc(R"({"pressureMeanSeaLevel":1020.0})");
    parser.Parse(first.data(), static_cast<int>(first.size()));
    parser.Parse(second.data(), static_cast<int>(second.size()));
    EXPECT_TRUE(logs.contains("previous parser is not closed. find it !!!"));
    auto data = parser.GetCpWeatherData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->GetAtmPressure(), 1001.0);
    parser.ReleaseParseData();
    EXPECT_TRUE(logs.contains("Release parse data"));
    EXPECT_EQ(parser.GetCpWeatherData(), nullptr);
    parser.Parse(nullptr, 0);
    EXPECT_TRUE(logs.contains("jsonData is nullptr"));
}

TEST(WeatherNewsParser, StatusTypesAndMissingValues) {
    WeatherNewsParser parser;
    LogCapture logs;
    auto data = parse(parser, R"({"status":"OK","press":1013,"temp":21.5,"code":"JP13"})");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->GetAtmPressure(), 1013.0);
    EXPECT_EQ(data->getTemperature(), 21.5);
    EXPECT_EQ(data->GetCPtype(), WEATHER_CP_TYPE_WEATHERNEWS);

    data = parse(parser, R"({"press":1013.2,"temp":-3})");
    ASSERT_NE(data, nullptr) << "no status is no failure";
    EXPECT_EQ(data->GetAtmPressure(), 1013.2);
    EXPECT_EQ(data->getTemperature(), -3.0);

    logs.clear();
    EXPECT_EQ(parse(parser, R"({"status":"NG","message":"invalid lat"})"), nullptr);
    EXPECT_TRUE(logs.contains("Status NG (invalid lat)"));
    EXPECT_EQ(parse(parser, R"({"status":"ok"})"), nullptr);
    EXPECT_TRUE(logs.contains("Status NG (No error message)"));

    // A pressure given as text is not read; an unreadable temperature stays "none".
    logs.clear();
    data = parse(parser, R"({"press":"1013","temp":"warm"})");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->GetAtmPressure(), 0.0);
    EXPECT_EQ(data->getTemperature(), 99999.0);
    EXPECT_EQ(logs.count("Unknown type [string]"), 2);

    data = parse(parser, "{}");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->getTemperature(), 99999.0);
    EXPECT_EQ(parse(parser, "[]"), nullptr);
}

TEST(WeatherHuafengAccuParser, ConditionsAndStructuralFailures) {
    WeatherHuafengAccuParser parser;
    LogCapture logs;
    auto data = parse(parser, R"([{"LocalObservationDateTime":"2016-08-15T20:35:00+08:00",
        "Temperature":{"Metric":{"Value":27.8,"Unit":"C"},"Imperial":{"Value":82,"Unit":"F"}},
        "Pressure":{"Metric":{"Value":1006,"Unit":"mb"}}}])");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->getTemperature(), 27.8);
    EXPECT_EQ(data->GetAtmPressure(), 1006.0);
    EXPECT_EQ(data->GetCPtype(), WEATHER_CP_TYPE_HUAFENGACCU);

    data = parse(parser, R"([{"Pressure":{"Metric":{"Value":1011.5}}}])");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->GetAtmPressure(), 1011.5);
    EXPECT_EQ(data->getTemperature(), 99999.0);

    const std::pair<std::string, std::string> broken[] = {
        {"[]", "element null"},
        {"{}", "array null"},
        {"[3]", "weatherInfoRootObject null"},
        {R"([{"Temperature":5}])", "temperatureObject null"},
        {R"([{"Temperature":{"Imperial":{}}}])", "metricNode null"},
        {R"([{"Pressure":{"Metric":7}}])", "metricObject null"},
        {R"([{"Pressure":[]}])", "slpObject null"},
    };
    for (const auto& [body, message] : broken) {
        logs.clear();
        EXPECT_EQ(parse(parser, body), nullptr) << body;
        EXPECT_TRUE(logs.contains(message)) << body;
    }
}

TEST(WeatherHuafengAccuParser, LocationKey) {
    WeatherHuafengAccuParser parser;
    LogCapture logs;
    std::string body = R"({"Version":1,"Key":"102144","Type":"City"})";
    EXPECT_EQ(parser.GetLocationKey(body.data(), static_cast<int>(body.size())), "102144");
    std::string array = "[]";
    EXPECT_EQ(parser.GetLocationKey(array.data(), 2), "");
    EXPECT_TRUE(logs.contains("rootObject null"));
    std::string noKey = R"({"Type":"City"})";
    EXPECT_EQ(parser.GetLocationKey(noKey.data(), static_cast<int>(noKey.size())), "");
    EXPECT_TRUE(logs.contains("No locationKey value"));
    std::string broken = "{";
    EXPECT_EQ(parser.GetLocationKey(broken.data(), 1), "");
    EXPECT_TRUE(logs.contains("json_parser_load_from_data is failed"));
    EXPECT_EQ(parser.GetLocationKey(nullptr, 0), "");
}

}  // namespace
