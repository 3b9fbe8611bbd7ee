#include "WeatherCpTwc.h"

#include <ostra/i18n.h>
#include <ostra/key_storage.h>

#include <cstdlib>

#include "StringUtil.h"
#include "ZentrelLog.h"

namespace {
const char* TWC_API_NEW_KEY = "zentrel_twc_api_key";
const char* TWC_API_OLD_KEY = "twc_api_key";
const char* REQUEST_INFO_NEW_URL =
    "https://%host/v3/aggcommon/v3-location-point;v3-wx-observations-current"
    "?units=e&geocode=%1f,%2f&language=en-US&format=json&apiKey=%apiKeyStr";
const char* REQUEST_INFO_OLD_URL =
    "https://%host/v2/aggcommon/v3-location-point;v3-wx-observations-current"
    "?units=e&geocode=%1f,%2f&language=en-US&format=json&apiKey=%apiKeyStr";
const char* DEFAULT_HOST = "api.weather.com";
}  // namespace

WeatherCpTwc::WeatherCpTwc() {
    ZLOG_HIT();
}

std::string WeatherCpTwc::GetApiKeyString() {
    char* value = nullptr;
    int error = key_storage_get(TWC_API_NEW_KEY, &value);
    if (error == KEY_STORAGE_ERROR_NONE) {
        _haveNewKey = true;
    } else {
        _haveNewKey = false;
        ZLOGW("[Failed] Get API new Key for TWC value String. %d", error);
        error = key_storage_get(TWC_API_OLD_KEY, &value);
        if (error != KEY_STORAGE_ERROR_NONE) {
            ZLOGE("[Failed] Get API old Key for TWC value String. %d", error);
            return "";
        }
    }
    std::string key = value ? value : "";
    free(value);
    ZLOGD("API key of %zu characters", key.size());
    return key;
}

std::string WeatherCpTwc::GetRequestUrl(double latitude, double longitude) {
    std::string key = GetApiKeyString();
    std::string url = WithHost(_haveNewKey ? REQUEST_INFO_NEW_URL : REQUEST_INFO_OLD_URL,
                               WEATHER_HOST_KEY_TWC, DEFAULT_HOST);
    url = StringUtil::StringReplace(url, "%1f", StringUtil::DoubleToString(latitude, 6));
    url = StringUtil::StringReplace(url, "%2f", StringUtil::DoubleToString(longitude, 6));
    return StringUtil::StringReplace(url, "%apiKeyStr", key);
}

std::string WeatherCpTwc::GetPrivacyPolicyText() {
    return i18n_get_text(
        "LDS_ALTI_BODY_YOUR_DEVICES_LOCATION_DATA_WILL_BE_SENT_TO_THE_WEATHER_COMPANY_MSG2");
}
