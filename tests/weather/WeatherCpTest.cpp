#include <gtest/gtest.h>
#include <ostra/key_storage.h>
#include <ostra/vconf.h>

#include <string>

#include "TestSupport.h"
#include "WeatherCpChoice.h"
#include "WeatherCpHuafengAccu.h"
#include "WeatherCpMgr.h"

using testsupport::LogCapture;
using testsupport::TempRoot;

namespace {

std::string queryValue(const std::string& url, const std::string& name) {
    size_t start = url.find(name + "=");
    if (start == std::string::npos) {
        return "<missing>";
    }
    start += name.size() + 1;
    return url.substr(start, url.find('&', start) - start);
}

// The expected access key, computed by the openssl command and escaped here.
std::string opensslAccessKey(const std::string& apiKey, const std::string& resource,
                             const std::string& time, const std::string& secret) {
    std::string command = "printf '%s\\r\\n%s\\r\\n%s' '" + apiKey + "' '" + resource + "' '" +
                          time + "' | openssl dgst -md5 -hmac '" + secret +
                          "' -binary | openssl base64 -A";
    std::string base64;
    EXPECT_EQ(testsupport::runProgram({"/bin/sh", "-c", command}, &base64), 0);
    std::string escaped;
    for (char c : base64) {
        if (c == '+') {
            escaped += "%2B";
        } else if (c == '/') {
            escaped += "%2F";
        } else if (c == '=') {
            escaped += "%3D";
        } else if (c != '\n') {
            escaped += c;
        }
    }
    return escaped;
}

// Each test runs in its own process: the manager is built for the country
// set before its first use.
WeatherCpMgr* managerFor(const char* country) {
    vconf_set_str(VCONFKEY_CSC_COUNTRY_ISO, country);
    return WeatherCpMgr::GetInstance();
}

// Hosts set and a TWC key stored, so the country alone decides.
void makeProvidersUsable() {
    for (const char* key : {WEATHER_HOST_KEY_WEATHERNEWS, WEATHER_HOST_KEY_HUAFENG_LOCATION,
                            WEATHER_HOST_KEY_HUAFENG}) {
        vconf_set_str(key, "127.0.0.1:1");
    }
    key_storage_set("zentrel_twc_api_key", "usable");
}

TEST(WeatherCpMgr, ChoiceFollowsTheSalesCountryOnHostCountryChanges) {
    TempRoot root;
    makeProvidersUsable();
    WeatherCpMgr* manager = managerFor("KR");
    EXPECT_EQ(manager->GetWeatherCp(), WEATHER_CP_TYPE_WEATHERNEWS);
    const std::pair<const char*, WEATHER_CP_TYPE> cases[] = {
        {"JP", WEATHER_CP_TYPE_WEATHERNEWS}, {"CN", WEATHER_CP_TYPE_HUAFENGACCU},
        {"US", WEATHER_CP_TYPE_TWC},         {"DE", WEATHER_CP_TYPE_TWC},
        {"", WEATHER_CP_TYPE_TWC},           {"KR", WEATHER_CP_TYPE_WEATHERNEWS},
        {"kr", WEATHER_CP_TYPE_TWC},
    };
    int change = 0;
    for (const auto& [country, expected] : cases) {
        LogCapture logs;
        WEATHER_CP_TYPE before = manager->GetWeatherCp();
        vconf_set_str(VCONFKEY_CSC_COUNTRY_ISO, country);
        // A change of the host phone's country makes the manager choose again.
        vconf_set_str("db/hxs/host_status/mcc", std::to_string(450 + ++change).c_str());
        ASSERT_TRUE(testsupport::runUntil([&] { return logs.contains("CP Type"); }, 5000))
            << country;
        EXPECT_EQ(manager->GetWeatherCp(), expected) << country;
        // The objects are rebuilt only when the choice changed.
        EXPECT_EQ(logs.contains("_contentProvider deleted"), before != expected) << country;
    }
}

TEST(WeatherCpMgr, FakeCscAlwaysRebuilds) {
    TempRoot root;
    makeProvidersUsable();
    WeatherCpMgr* manager = managerFor("US");
    const std::pair<const char*, WEATHER_CP_TYPE> cases[] = {
        {"HUAFENG", WEATHER_CP_TYPE_HUAFENGACCU},
        {"WNS", WEATHER_CP_TYPE_WEATHERNEWS},
        {"TWC", WEATHER_CP_TYPE_TWC},
        {"TWC", WEATHER_CP_TYPE_TWC},
        {"", WEATHER_CP_TYPE_TWC},
    };
    for (const auto& [csc, expected] : cases) {
        LogCapture logs;
        manager->SetFakeCsc(csc);
        EXPECT_EQ(manager->GetWeatherCp(), expected) << csc;
        EXPECT_TRUE(logs.contains("_contentProvider deleted")) << csc;
        EXPECT_TRUE(logs.contains("_contentParser deleted")) << csc;
    }
    // The parser matches the provider: a China answer parses after the switch.
    manager->SetFakeCsc("HUAFENG");
    std::string body = R"([{"Pressure":{"Metric":{"Value":1004.0}}}])";
    auto data = manager->GetWeatherData(body.data(), static_cast<int>(body.size()));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->GetAtmPressure(), 1004.0);
    manager->ReleaseParseData();
    EXPECT_EQ(manager->GetCityInfoUrl("123"), "Not support");
}

TEST(WeatherCpTwc, KeyGenerationChoosesThePathAndCoordinatesHaveSixDecimals) {
    TempRoot root;
    vconf_set_str(WEATHER_HOST_KEY_TWC, "127.0.0.1:8443");
    // Chosen by name: without a key the country's choice would fall back.
    vconf_set_str(WEATHER_PROVIDER_KEY, "twc");
    WeatherCpMgr* manager = managerFor("US");
    LogCapture logs;
    std::string url = manager->GetUrl(37.5665, 126.978);
    EXPECT_EQ(url.rfind("https://127.0.0.1:8443/v2/aggcommon/", 0), 0u) << url;
    EXPECT_EQ(queryValue(url, "apiKey"), "");
    EXPECT_TRUE(logs.contains("[Failed] Get API old Key for TWC value String."));

    ASSERT_EQ(key_storage_set("twc_api_key", "OLDKEY"), KEY_STORAGE_ERROR_NONE);
    url = manager->GetUrl(37.5665, 126.978);
    EXPECT_NE(url.find("/v2/"), std::string::npos) << url;
    EXPECT_EQ(queryValue(url, "apiKey"), "OLDKEY");

    ASSERT_EQ(key_storage_set("zentrel_twc_api_key", "NEWKEY"), KEY_STORAGE_ERROR_NONE);
    url = manager->GetUrl(37.5665, 126.978);
    EXPECT_EQ(url,
              "https://127.0.0.1:8443/v3/aggcommon/v3-location-point;v3-wx-observations-current"
              "?units=e&geocode=37.566500,126.978000&language=en-US&format=json&apiKey=NEWKEY");
    url = manager->GetUrl(-33.8688, -151.2093);
    EXPECT_EQ(queryValue(url, "geocode"), "-33.868800,-151.209300");
}

TEST(WeatherCpWeatherNews, PlainHttpUrlWithoutKey) {
    TempRoot root;
    vconf_set_str(WEATHER_HOST_KEY_WEATHERNEWS, "localhost:8080");
    WeatherCpMgr* manager = managerFor("JP");
    EXPECT_EQ(manager->GetUrl(37.5665, 126.978),
              "http://localhost:8080/api/press.cgi?lat=37.566500&lon=126.978000&APP_ID=barometer");
}

TEST(WeatherCpHuafengAccu, AccessKeyMatchesAnIndependentHmac) {
    TempRoot root;
    WeatherCpHuafengAccu provider;
    std::string apiKey = provider.GetApiKeyString(HUA_KEY_TYPE_API);
    std::string secret = provider.GetApiKeyString(HUA_KEY_TYPE_SECRET);
    EXPECT_EQ(apiKey.size(), 32u);
    EXPECT_EQ(secret.size(), 24u);
    EXPECT_EQ(provider.GetApiKeyString(static_cast<HUAKeyType>(7)), "");
    for (const char* resource : {"locations", "currentconditions"}) {
        EXPECT_EQ(provider.GetAccessKey(apiKey, resource, "20160815123"),
                  opensslAccessKey(apiKey, resource, "20160815123", secret))
            << resource;
    }
    LogCapture logs;
    EXPECT_EQ(provider.GetAccessKey("", "locations", "20160815123"), "");
    EXPECT_TRUE(logs.contains("apiKey is empty"));
    EXPECT_EQ(provider.GetAccessKey(apiKey, "locations", ""), "");
    EXPECT_TRUE(logs.contains("dateTime is empty"));
    std::string time = provider.GetTimeString();
    EXPECT_EQ(time.size(), 11u) << time;
}

TEST(WeatherCpHuafengAccu, UrlsCarryTwoDecimalsTheLocationKeyAndAMatchingSignature) {
    TempRoot root;
    vconf_set_str(WEATHER_HOST_KEY_HUAFENG_LOCATION, "127.0.0.1:1");
    vconf_set_str(WEATHER_HOST_KEY_HUAFENG, "127.0.0.1:2");
    WeatherCpHuafengAccu provider;
    std::string apiKey = provider.GetApiKeyString(HUA_KEY_TYPE_API);
    std::string secret = provider.GetApiKeyString(HUA_KEY_TYPE_SECRET);

    std::string url = provider.GetRequestLocationUrl(37.5665, 126.978);
    EXPECT_EQ(
        url.rfind("http://127.0.0.1:1/locations/v1/cities/geoposition/search?q=37.57,126.98&", 0),
        0u)
        << url;
    EXPECT_EQ(queryValue(url, "apikey"), apiKey);
    // The time inside the signature is the time in the URL.
    std::string time = queryValue(url, "requestDate");
    EXPECT_EQ(queryValue(url, "accessKey"), opensslAccessKey(apiKey, "locations", time, secret));

    std::string key = "102144";
    provider.setLocationKey(key);
    WeatherCpMgr* manager = managerFor("CN");
    url = manager->GetUrl(0, 0);
    EXPECT_EQ(url.rfind("https://127.0.0.1:2/currentconditions/v1/102144?apikey=", 0), 0u) << url;
    time = queryValue(url, "requestDate");
    EXPECT_EQ(queryValue(url, "accessKey"),
              opensslAccessKey(apiKey, "currentconditions", time, secret));
    EXPECT_NE(url.find("&details=true&language=en-us&sd=1"), std::string::npos);
}

TEST(WeatherCp, PrivacyNoticesComeFromTheCatalogue) {
    TempRoot root;
    makeProvidersUsable();
    WeatherCpMgr* manager = managerFor("US");
    EXPECT_FALSE(manager->GetPrivacyPolicyText().empty());
    manager->SetFakeCsc("HUAFENG");
    std::string text = manager->GetPrivacyPolicyText();
    EXPECT_NE(text.find(" "), std::string::npos);
    EXPECT_EQ(text.find("%1$s"), std::string::npos);
}

}  // namespace
