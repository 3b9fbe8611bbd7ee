#include "WeatherCpWeatherNews.h"

#include <ostra/i18n.h>

#include "StringUtil.h"
#include "ZentrelLog.h"

namespace {
const char* REQUEST_INFO_URL_NEW = "http://%host/api/press.cgi?lat=%1f&lon=%2f&APP_ID=barometer";
const char* DEFAULT_HOST = "weathernews.invalid";
}  // namespace

WeatherCpWeatherNews::WeatherCpWeatherNews() {
    ZLOG_HIT();
}

std::string WeatherCpWeatherNews::GetRequestUrl(double latitude, double longitude) {
    std::string url = WithHost(REQUEST_INFO_URL_NEW, WEATHER_HOST_KEY_WEATHERNEWS, DEFAULT_HOST);
    url = StringUtil::StringReplace(url, "%1f", StringUtil::DoubleToString(latitude, 6));
    return StringUtil::StringReplace(url, "%2f", StringUtil::DoubleToString(longitude, 6));
}

std::string WeatherCpWeatherNews::GetPrivacyPolicyText() {
    return i18n_get_text(
        "LDS_ALTI_BODY_YOUR_DEVICES_LOCATION_DATA_WILL_BE_SENT_TO_WEATHERNEWS_INC_MSG2");
}
