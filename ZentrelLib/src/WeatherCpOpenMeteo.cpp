#include "WeatherCpOpenMeteo.h"

#include <ostra/i18n.h>

#include "StringUtil.h"
#include "ZentrelLog.h"

namespace {
const char* REQUEST_CURRENT_URL =
    "https://%host/v1/forecast?latitude=%1f&longitude=%2f&current=pressure_msl,temperature_2m";
const char* DEFAULT_HOST = "api.open-meteo.com";
}  // namespace

WeatherCpOpenMeteo::WeatherCpOpenMeteo() {
    ZLOG_HIT();
}

std::string WeatherCpOpenMeteo::GetRequestUrl(double latitude, double longitude) {
    std::string url = WithHost(REQUEST_CURRENT_URL, WEATHER_HOST_KEY_OPENMETEO, DEFAULT_HOST);
    url = StringUtil::StringReplace(url, "%1f", StringUtil::DoubleToString(latitude, 6));
    return StringUtil::StringReplace(url, "%2f", StringUtil::DoubleToString(longitude, 6));
}

std::string WeatherCpOpenMeteo::GetPrivacyPolicyText() {
    return i18n_get_text("LDS_ALTI_BODY_YOUR_DEVICES_LOCATION_DATA_WILL_BE_SENT_TO_OPEN_METEO_MSG");
}
