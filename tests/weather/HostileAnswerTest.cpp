#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "WeatherHuafengAccuParser.h"
#include "WeatherNewsParser.h"
#include "WeatherOpenMeteoParser.h"
#include "WeatherTwcParser.h"

using testsupport::LogCapture;

namespace {

template <typename Parser>
WeatherDataPtr parseWith(const std::string& body) {
    Parser parser;
    std::string copy = body;
    parser.Parse(copy.data(), static_cast<int>(copy.size()));
    return parser.GetCpWeatherData();
}

struct Provider {
    const char* name;
    std::function<WeatherDataPtr(const std::string&)> parse;
    // A good answer with the pressure and temperature given as text to replace.
    std::string answer;
};

const std::string kOpenMeteoTail =
    R"(,"current_units":{"time":"iso8601","pressure_msl":"hPa","temperature_2m":"°C"}})";

std::vector<Provider> providers() {
    return {
        {"twc", parseWith<WeatherTwcParser>,
         R"({"v3-wx-observations-current":{"validTimeUtc":1471264620,)"
         R"("pressureMeanSeaLevel":PRESSURE,"temperature":TEMPERATURE}})"},
        {"weathernews", parseWith<WeatherNewsParser>,
         R"({"status":"OK","press":PRESSURE,"temp":TEMPERATURE})"},
        {"china", parseWith<WeatherHuafengAccuParser>,
         R"([{"Temperature":{"Metric":{"Value":TEMPERATURE}},)"
         R"("Pressure":{"Metric":{"Value":PRESSURE}}}])"},
        {"keyless", parseWith<WeatherOpenMeteoParser>,
         R"({"current":{"time":"2024-05-14T09:15","pressure_msl":PRESSURE,)"
         R"("temperature_2m":TEMPERATURE})" +
             kOpenMeteoTail},
    };
}

std::string fill(std::string body, const std::string& pressure, const std::string& temperature) {
    body.replace(body.find("PRESSURE"), 8, pressure);
    body.replace(body.find("TEMPERATURE"), 11, temperature);
    return body;
}

TEST(HostileAnswer, DeepOrHugeBodiesAreRefusedBeforeParsing) {
    LogCapture logs;
    const std::string deep = std::string(75000, '[') + std::string(75000, ']');
    const std::string deepObject = R"({"a":)" + std::string(70, '[') + std::string(70, ']') + "}";
    std::string huge = fill(providers()[1].answer, "1013", "20");
    huge.append(WeatherParser::kMaxBodyBytes, ' ');
    for (const auto& provider : providers()) {
        for (const std::string& body : {deep, deepObject, huge}) {
            EXPECT_EQ(provider.parse(body), nullptr) << provider.name;
        }
        // Brackets inside texts, escaped quotes included, are no nesting.
        std::string quoted = fill(provider.answer, "1013", "20");
        std::string brackets = R"("note":"\"[[[)" + std::string(200, '[') + R"(",)";
        quoted.insert(quoted.find('{') + 1, brackets);
        EXPECT_NE(provider.parse(quoted), nullptr) << provider.name << quoted;
    }
    EXPECT_EQ(logs.count("body nested deeper than 64 levels refused"), 8);
    EXPECT_EQ(logs.count("bytes refused (at most 1048576)"), 4);

    WeatherHuafengAccuParser parser;
    std::string copy = deep;
    EXPECT_EQ(parser.GetLocationKey(copy.data(), static_cast<int>(copy.size())), "");
    EXPECT_EQ(parser.GetLocationKey(copy.data(), -1), "");
}

TEST(HostileAnswer, ABodyThatDoesNotParseIsNoAnswer) {
    LogCapture logs;
    for (const auto& provider : providers()) {
        std::string good = fill(provider.answer, "1013", "20");
        ASSERT_NE(provider.parse(good), nullptr) << provider.name;
        for (const char* tail : {"garbage", "}", ",{}", "\x01"}) {
            logs.clear();
            EXPECT_EQ(provider.parse(good + tail), nullptr) << provider.name << tail;
            EXPECT_TRUE(logs.contains("parsing is failed")) << provider.name << tail;
        }
    }
    // The China location step reads a key the same way.
    WeatherHuafengAccuParser parser;
    std::string key = R"({"Key":"102144"}garbage)";
    EXPECT_EQ(parser.GetLocationKey(key.data(), static_cast<int>(key.size())), "");
    for (const char* refused : {R"({"Key":"1/../../x?y=1"})", R"({"Key":""})"}) {
        key = refused;
        EXPECT_EQ(parser.GetLocationKey(key.data(), static_cast<int>(key.size())), "") << refused;
    }
}

TEST(HostileAnswer, OnlyFinitePlausibleValuesBecomeRecords) {
    LogCapture logs;
    const char* badPressures[] = {"-1e309", "1e309",  "1e999", "0",
                                  "849.9",  "1100.1", "-1013", "9223372036854775807"};
    const char* badTemperatures[] = {"1e999", "-1e309", "429496762", "-4294967296", "200", "-150"};
    for (const auto& provider : providers()) {
        for (const char* pressure : badPressures) {
            EXPECT_EQ(provider.parse(fill(provider.answer, pressure, "20")), nullptr)
                << provider.name << " pressure " << pressure;
        }
        for (const char* temperature : badTemperatures) {
            EXPECT_EQ(provider.parse(fill(provider.answer, "1013", temperature)), nullptr)
                << provider.name << " temperature " << temperature;
        }
        // The ends of the plausible range are still weather.
        for (const char* pressure : {"850", "1100", "1013.25"}) {
            auto data = provider.parse(fill(provider.answer, pressure, "20"));
            ASSERT_NE(data, nullptr) << provider.name << pressure;
            EXPECT_EQ(data->GetAtmPressure(), std::stod(pressure)) << provider.name;
        }
    }
    EXPECT_TRUE(logs.contains("is out of range"));

    // The TWC answer's other fields: a pressure given as true or as a huge
    // text, and observation times that are no times.
    const std::string twc = providers()[0].answer;
    for (const auto& [pressure, temperature] : std::vector<std::pair<std::string, std::string>>{
             {"true", "50"}, {R"("1e999")", "50"}, {R"("-inf")", "50"}, {"1013", R"("hot")"}}) {
        EXPECT_EQ(parseWith<WeatherTwcParser>(fill(twc, pressure, temperature)), nullptr)
            << pressure << " " << temperature;
    }
    std::string good = fill(twc, "1013", "50");
    for (const char* time : {"1e300", "-1", "0", "99999999999", "\"1471264620\""}) {
        std::string body = good;
        body.replace(body.find("1471264620"), 10, time);
        EXPECT_EQ(parseWith<WeatherTwcParser>(body), nullptr) << time;
    }
    auto data = parseWith<WeatherTwcParser>(good);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->getTemperature(), 10.0);
}

}  // namespace
