#include <gtest/gtest.h>
#include <ostra/i18n.h>
#include <ostra/key_storage.h>
#include <ostra/vconf.h>

#include <string>
#include <vector>

#include "TestHttpServer.h"
#include "TestSupport.h"
#include "WeatherCpChoice.h"
#include "WeatherCpMgr.h"
#include "WeatherOpenMeteoParser.h"
#include "ZentrelAltitudeMgr.h"

using testsupport::TempRoot;
using testsupport::TestHttpServer;

namespace {

// An answer recorded from the service for
// /v1/forecast?latitude=52.52&longitude=13.41&current=pressure_msl,temperature_2m
const std::string kRecorded =
    R"({"latitude":52.52,"longitude":13.419998,"generationtime_ms":0.0209808349609375,)"
    R"("utc_offset_seconds":0,"timezone":"GMT","timezone_abbreviation":"GMT","elevation":38.0,)"
    R"("current_units":{"time":"iso8601","interval":"seconds","pressure_msl":"hPa",)"
    R"("temperature_2m":"°C"},"current":{"time":"2024-05-14T09:15","interval":900,)"
    R"("pressure_msl":1019.3,"temperature_2m":17.4}})";

// The recorded answer with one piece of text replaced.
std::string variant(const std::string& from, const std::string& to) {
    std::string body = kRecorded;
    size_t at = body.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? body : body.replace(at, from.size(), to);
}

WeatherDataPtr parse(const std::string& body) {
    WeatherOpenMeteoParser parser;
    std::string copy = body;
    parser.Parse(copy.data(), static_cast<int>(copy.size()));
    WeatherDataPtr data = parser.GetCpWeatherData();
    parser.ReleaseParseData();
    return data;
}

struct Malformed {
    const char* what;
    std::string body;
};

std::vector<Malformed> malformedAnswers() {
    return {
        {"not JSON", R"({"current": )"},
        {"array root", "[]"},
        {"no current", variant(R"("current":{)", R"("now":{)")},
        {"current not an object", R"({"current":1,"current_units":{}})"},
        {"no units", variant(R"("current_units")", R"("units")")},
        {"no pressure", variant(R"("pressure_msl":1019.3,)", "")},
        {"pressure as text", variant("1019.3", R"("1019.3")")},
        {"pressure null", variant("1019.3", "null")},
        {"no temperature", variant(R"(,"temperature_2m":17.4)", "")},
        {"temperature as text", variant("17.4", R"("17.4")")},
        {"no time", variant(R"("time":"2024-05-14T09:15",)", "")},
        {"time not a time", variant("2024-05-14T09:15", "yesterday")},
        {"time as number", variant(R"("2024-05-14T09:15")", "1715678100")},
        {"pressure below 850", variant("1019.3", "849.9")},
        {"pressure above 1100", variant("1019.3", "1100.1")},
        {"pressure in inHg", variant(R"("pressure_msl":"hPa")", R"("pressure_msl":"inHg")")},
        {"pressure in Pa", variant(R"("pressure_msl":"hPa")", R"("pressure_msl":"Pa")")},
        {"pressure without unit", variant(R"("pressure_msl":"hPa",)", "")},
        {"temperature in Fahrenheit", variant("°C", "°F")},
    };
}

TEST(OpenMeteoParser, RecordedAnswerGivesPressureTemperatureAndObservationTime) {
    TempRoot root;
    WeatherDataPtr data = parse(kRecorded);
    ASSERT_NE(data, nullptr);
    EXPECT_DOUBLE_EQ(data->GetAtmPressure(), 1019.3);
    EXPECT_EQ(data->GetAtmUnit(), ATM_PRESSURE_UNIT_TYPE_MB);
    EXPECT_DOUBLE_EQ(data->getTemperature(), 17.4);
    // 2024-05-14 09:15 GMT
    EXPECT_DOUBLE_EQ(data->GetWeatherInfoUpdateTimeMiliSec(), 1715678100000.0);
    EXPECT_EQ(data->GetCPtype(), WEATHER_CP_TYPE_OPENMETEO);
    EXPECT_EQ(data->GetWeatherInfoType(), WEATHER_INFO_TYPE_CURRENT_CONDITION);

    // Whole numbers, the ends of the plausible range and frost are weather too.
    const std::pair<std::string, double> pressures[] = {
        {"1013", 1013.0}, {"850", 850.0}, {"1100.0", 1100.0}};
    for (const auto& [text, expected] : pressures) {
        data = parse(variant("1019.3", text));
        ASSERT_NE(data, nullptr) << text;
        EXPECT_DOUBLE_EQ(data->GetAtmPressure(), expected) << text;
    }
    data = parse(variant("17.4", "-12.5"));
    ASSERT_NE(data, nullptr);
    EXPECT_DOUBLE_EQ(data->getTemperature(), -12.5);
}

TEST(OpenMeteoParser, MalformedAnswersGiveNoRecord) {
    TempRoot root;
    for (const Malformed& answer : malformedAnswers()) {
        EXPECT_EQ(parse(answer.body), nullptr) << answer.what;
    }
}

class Listener : public ZentrelAltitudeMgrEvent {
  public:
    void OnDataReceived(WeatherDataPtr data) override { received.push_back(data); }
    void OnDataReceiveFailed() override { failures++; }
    int calls() const { return static_cast<int>(received.size()) + failures; }
    std::vector<WeatherDataPtr> received;
    int failures = 0;
};

std::string latitudeText(int index) {
    return std::to_string(10 + index) + ".000000";
}

std::string forecastPath(const std::string& latitude) {
    return "/v1/forecast?latitude=" + latitude +
           "&longitude=8.500000&current=pressure_msl,temperature_2m";
}

// The stand-in answers the recorded answer at latitude 10 and each malformed
// answer at its own latitude after that.
std::string standInRoutes() {
    std::vector<Malformed> answers = malformedAnswers();
    answers.insert(answers.begin(), {"recorded", kRecorded});
    std::string routes = "{";
    for (size_t i = 0; i < answers.size(); ++i) {
        gchar* body = g_strescape(answers[i].body.c_str(), "°");
        routes += (i ? "," : "") + std::string("\"") + forecastPath(latitudeText(int(i))) +
                  "\":{\"content_type\":\"application/json\",\"body\":\"" + body + "\"}";
        g_free(body);
    }
    return routes + "}";
}

// A fresh installation: no provider chosen, no key, no hosts but the keyless
// source's, which a local HTTPS server stands in for.
class OpenMeteoRequestTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.running());
        setenv("OSTRA_CA_FILE", server.caFile().c_str(), 1);
        vconf_set_str(VCONFKEY_CSC_COUNTRY_ISO, "DE");
        vconf_set_str(WEATHER_HOST_KEY_OPENMETEO,
                      ("127.0.0.1:" + std::to_string(server.port())).c_str());
        ZentrelAltitudeMgr::getInstance()->SetEventListener(&listener);
    }
    void TearDown() override { unsetenv("OSTRA_CA_FILE"); }
    bool request(double latitude) {
        int before = listener.calls();
        ZentrelAltitudeMgr::getInstance()->Request(latitude, 8.5,
                                                   ZentrelAltitudeMgr::DEFAULT_TIMEOUT);
        return testsupport::runUntil([&] { return listener.calls() > before; }, 10000);
    }
    TempRoot root;
    TestHttpServer server{TestHttpServer::Scheme::Https, standInRoutes()};
    Listener listener;
};

TEST_F(OpenMeteoRequestTest, FreshInstallCalibratesFromTheKeylessSource) {
    EXPECT_EQ(WeatherCpMgr::GetInstance()->GetWeatherCp(), WEATHER_CP_TYPE_OPENMETEO);
    ASSERT_TRUE(request(10.0));
    ASSERT_EQ(listener.received.size(), 1u);
    WeatherDataPtr data = listener.received[0];
    EXPECT_DOUBLE_EQ(data->GetAtmPressure(), 1019.3);
    EXPECT_DOUBLE_EQ(data->getTemperature(), 17.4);
    EXPECT_DOUBLE_EQ(data->GetLatitude(), 10.0);
    EXPECT_DOUBLE_EQ(data->GetLongitude(), 8.5);
    std::vector<std::string> log = server.requestLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(forecastPath("10.000000")), std::string::npos) << log[0];
}

TEST_F(OpenMeteoRequestTest, MalformedAnswersTakeTheFailurePath) {
    std::vector<Malformed> answers = malformedAnswers();
    for (size_t i = 0; i < answers.size(); ++i) {
        ASSERT_TRUE(request(10.0 + double(i + 1))) << answers[i].what;
        EXPECT_EQ(listener.failures, int(i + 1)) << answers[i].what;
    }
    EXPECT_TRUE(listener.received.empty());
    // The manager is idle again after the failures.
    ASSERT_TRUE(request(10.0));
    EXPECT_EQ(listener.received.size(), 1u);
}

TEST_F(OpenMeteoRequestTest, PeerIsVerified) {
    unsetenv("OSTRA_CA_FILE");
    ASSERT_TRUE(request(10.0));
    EXPECT_EQ(listener.failures, 1);
    EXPECT_TRUE(server.requestLog().empty());
}

struct Usable {
    bool twcKey;
    bool weathernewsHost;
    bool chinaLocationHost;
    bool chinaHost;
};

void apply(const Usable& setup) {
    if (setup.twcKey) {
        key_storage_set("twc_api_key", "KEY");
    } else {
        key_storage_remove("twc_api_key");
    }
    auto host = [](const char* key, bool set) {
        set ? vconf_set_str(key, "127.0.0.1:1") : vconf_unset(key);
    };
    host(WEATHER_HOST_KEY_WEATHERNEWS, setup.weathernewsHost);
    host(WEATHER_HOST_KEY_HUAFENG_LOCATION, setup.chinaLocationHost);
    host(WEATHER_HOST_KEY_HUAFENG, setup.chinaHost);
}

TEST(WeatherCpChoice, AutoKeepsTheCountrysProviderOnlyWhenItIsUsable) {
    TempRoot root;
    const Usable nothing{false, false, false, false};
    const Usable everything{true, true, true, true};
    const struct {
        const char* country;
        Usable setup;
        WEATHER_CP_TYPE expected;
    } cases[] = {
        {"US", nothing, WEATHER_CP_TYPE_OPENMETEO},
        {"US", everything, WEATHER_CP_TYPE_TWC},
        {"DE", {true, false, false, false}, WEATHER_CP_TYPE_TWC},
        {"", {true, false, false, false}, WEATHER_CP_TYPE_TWC},
        {"", nothing, WEATHER_CP_TYPE_OPENMETEO},
        {"KR", {true, false, true, true}, WEATHER_CP_TYPE_OPENMETEO},
        {"KR", {false, true, false, false}, WEATHER_CP_TYPE_WEATHERNEWS},
        {"JP", nothing, WEATHER_CP_TYPE_OPENMETEO},
        {"JP", {false, true, false, false}, WEATHER_CP_TYPE_WEATHERNEWS},
        {"CN", {true, true, true, false}, WEATHER_CP_TYPE_OPENMETEO},
        {"CN", {true, true, false, true}, WEATHER_CP_TYPE_OPENMETEO},
        {"CN", {false, false, true, true}, WEATHER_CP_TYPE_HUAFENGACCU},
    };
    for (const auto& c : cases) {
        apply(c.setup);
        for (const char* choice : {"", "auto"}) {
            vconf_set_str(WEATHER_PROVIDER_KEY, choice);
            WeatherCpChoice::Result result = WeatherCpChoice::Choose(c.country);
            EXPECT_EQ(result.type, c.expected) << c.country << " " << result.reason;
            bool fellBack = c.expected == WEATHER_CP_TYPE_OPENMETEO;
            EXPECT_EQ(result.reason.find("keyless source stands in") != std::string::npos, fellBack)
                << result.reason;
        }
    }
}

TEST(WeatherCpChoice, NamedChoiceWinsAndAnUnknownNameMeansAuto) {
    TempRoot root;
    apply({false, false, false, false});
    const std::pair<const char*, WEATHER_CP_TYPE> cases[] = {
        {"twc", WEATHER_CP_TYPE_TWC},
        {"weathernews", WEATHER_CP_TYPE_WEATHERNEWS},
        {"huafeng", WEATHER_CP_TYPE_HUAFENGACCU},
        {"open", WEATHER_CP_TYPE_OPENMETEO},
    };
    for (const auto& [name, expected] : cases) {
        vconf_set_str(WEATHER_PROVIDER_KEY, name);
        // The country would choose otherwise; the name wins even when unusable.
        WeatherCpChoice::Result result = WeatherCpChoice::Choose("KR");
        EXPECT_EQ(result.type, expected) << name;
        EXPECT_EQ(result.reason.find("requests will fail") != std::string::npos,
                  expected != WEATHER_CP_TYPE_OPENMETEO)
            << result.reason;
    }
    vconf_set_str(WEATHER_PROVIDER_KEY, "Open");
    WeatherCpChoice::Result result = WeatherCpChoice::Choose("CN");
    EXPECT_EQ(result.type, WEATHER_CP_TYPE_OPENMETEO);
    EXPECT_NE(result.reason.find("unknown"), std::string::npos) << result.reason;
    apply({false, false, true, true});
    EXPECT_EQ(WeatherCpChoice::Choose("CN").type, WEATHER_CP_TYPE_HUAFENGACCU);
}

TEST(WeatherCpMgr, ChangingTheChoiceRebuildsAndTheNoticeFollows) {
    TempRoot root;
    vconf_set_str(VCONFKEY_CSC_COUNTRY_ISO, "US");
    WeatherCpMgr* manager = WeatherCpMgr::GetInstance();
    ASSERT_EQ(manager->GetWeatherCp(), WEATHER_CP_TYPE_OPENMETEO);
    const std::string openNotice =
        i18n_get_text("LDS_ALTI_BODY_YOUR_DEVICES_LOCATION_DATA_WILL_BE_SENT_TO_OPEN_METEO_MSG");
    EXPECT_EQ(manager->GetPrivacyPolicyText(), openNotice);
    EXPECT_EQ(manager->GetUrl(-33.8688, 151.2093),
              "https://api.open-meteo.com/v1/forecast?latitude=-33.868800&longitude=151.209300"
              "&current=pressure_msl,temperature_2m");

    vconf_set_str(WEATHER_PROVIDER_KEY, "twc");
    ASSERT_TRUE(testsupport::runUntil(
        [&] { return manager->GetWeatherCp() == WEATHER_CP_TYPE_TWC; }, 5000));
    EXPECT_NE(manager->GetPrivacyPolicyText(), openNotice);
    EXPECT_EQ(manager->GetUrl(1, 2).rfind("https://api.weather.com/", 0), 0u);

    // Setting the keyless host makes nothing fall back while twc is chosen.
    vconf_set_str(WEATHER_HOST_KEY_OPENMETEO, "127.0.0.1:9");
    vconf_set_str(WEATHER_PROVIDER_KEY, "auto");
    ASSERT_TRUE(testsupport::runUntil(
        [&] { return manager->GetWeatherCp() == WEATHER_CP_TYPE_OPENMETEO; }, 5000));
    EXPECT_EQ(manager->GetUrl(1, 2).rfind("https://127.0.0.1:9/v1/forecast?", 0), 0u);
    EXPECT_NE(manager->GetChoiceReason().find("no API key stored"), std::string::npos);
}

TEST(OstractlWeather, ShowsTheProviderInForceAndWhy) {
    TempRoot root;
    vconf_set_str(VCONFKEY_CSC_COUNTRY_ISO, "JP");
    std::string out;
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "weather", "provider"}, &out), 0);
    EXPECT_NE(out.find("provider: open"), std::string::npos) << out;
    EXPECT_NE(out.find(WEATHER_HOST_KEY_WEATHERNEWS " is not set"), std::string::npos) << out;

    vconf_set_str(WEATHER_HOST_KEY_WEATHERNEWS, "127.0.0.1:1");
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "weather", "provider"}, &out), 0);
    EXPECT_NE(out.find("provider: weathernews"), std::string::npos) << out;

    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "weather", "provider", "open"}, &out), 0);
    EXPECT_NE(out.find("provider: open"), std::string::npos) << out;
    char* stored = vconf_get_str(WEATHER_PROVIDER_KEY);
    EXPECT_STREQ(stored, "open");
    free(stored);
    EXPECT_EQ(testsupport::runProgram({OSTRACTL_PATH, "weather", "provider", "metar"}, &out), 2);
}

}  // namespace
