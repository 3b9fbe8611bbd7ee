#include "WeatherCpHuafengAccu.h"

#include <glib.h>
#include <openssl/bio.h>
#include <openssl/buffer.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <ostra/i18n.h>

#include <cstdio>
#include <ctime>

#include "StringUtil.h"
#include "ZentrelLog.h"

namespace {
const char* REQUEST_LOCATION_INFO_URL =
    "http://%host/locations/v1/cities/geoposition/search"
    "?q=%1f,%2f&apikey=%3f&requestDate=%4f&accessKey=%5f&language=en-us";
const char* REQUEST_CURRENT_CONDITION_URL =
    "https://%host/currentconditions/v1/%1f"
    "?apikey=%2f&requestDate=%3f&accessKey=%4f&details=true&language=en-us&sd=1";
const char* DEFAULT_LOCATION_HOST = "huafeng-location.invalid";
const char* DEFAULT_HOST = "huafeng.invalid";
const char* API_KEY = "3f1a9c07d2e84b6fa05c91e7b2d4c86a";
const char* SECRET_KEY = "kT4pXw9LmQ2vRz7sNb1cHg==";
}  // namespace

std::string WeatherCpHuafengAccu::mLocationKey;

WeatherCpHuafengAccu::WeatherCpHuafengAccu() {
    ZLOG_HIT();
}

void WeatherCpHuafengAccu::setLocationKey(std::string& key) {
    mLocationKey = key;
}

std::string WeatherCpHuafengAccu::GetApiKeyString(HUAKeyType type) {
    std::string key;
    if (type == HUA_KEY_TYPE_API) {
        key = API_KEY;
    } else if (type == HUA_KEY_TYPE_SECRET) {
        key = SECRET_KEY;
    }
    ZLOGD("key of type %d: %zu characters", static_cast<int>(type), key.size());
    return key;
}

std::string WeatherCpHuafengAccu::GetTimeString() {
    time_t now = time(nullptr);
    struct tm utc;
    if (!gmtime_r(&now, &utc)) {
        return "";
    }
    char text[64];
    snprintf(text, sizeof(text), "%d%02d%02d%02d%d", utc.tm_year + 1900, utc.tm_mon + 1,
             utc.tm_mday, utc.tm_hour, utc.tm_min / 10);
    ZLOGD("dateTime : [%s]", text);
    return text;
}

std::string WeatherCpHuafengAccu::ToBase64(const unsigned char* data, unsigned int length) {
    BIO* base64 = BIO_new(BIO_f_base64());
    BIO* sink = BIO_new(BIO_s_mem());
    if (!base64 || !sink) {
        BIO_free(base64);
        BIO_free(sink);
        ZLOGE("buff is nullptr");
        return "";
    }
    BIO_set_flags(base64, BIO_FLAGS_BASE64_NO_NL);
    BIO* chain = BIO_push(base64, sink);
    BIO_write(chain, data, static_cast<int>(length));
    (void)BIO_flush(chain);
    BUF_MEM* bptr = nullptr;
    BIO_get_mem_ptr(chain, &bptr);
    std::string text;
    if (bptr == nullptr || bptr->data == nullptr) {
        ZLOGE("bptr == nullptr || bptr->data == nullptr");
    } else {
        text.assign(bptr->data, bptr->length);
        while (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
    }
    BIO_free_all(chain);
    if (text.empty()) {
        ZLOGE("base64Digest is nullptr");
    }
    return text;
}

std::string WeatherCpHuafengAccu::GetAccessKey(const std::string& apiKey,
                                               const std::string& resource,
                                               const std::string& requestTime) {
    std::string secret = GetApiKeyString(HUA_KEY_TYPE_SECRET);
    if (apiKey.empty()) {
        ZLOGE("apiKey is empty");
        return "";
    }
    if (secret.empty()) {
        ZLOGE("secretKey is empty");
        return "";
    }
    if (requestTime.empty()) {
        ZLOGE("dateTime is empty");
        return "";
    }
    std::string message = apiKey + "\r\n" + resource + "\r\n" + requestTime;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (!HMAC(EVP_md5(), secret.data(), static_cast<int>(secret.size()),
              reinterpret_cast<const unsigned char*>(message.data()), message.size(), digest,
              &digestLength)) {
        ZLOGE("digest is nullptr");
        return "";
    }
    std::string base64 = ToBase64(digest, digestLength);
    if (base64.empty()) {
        return "";
    }
    gchar* escaped = g_uri_escape_string(base64.c_str(), nullptr, FALSE);
    std::string accessKey = escaped ? escaped : "";
    g_free(escaped);
    ZLOGD("access key of %zu characters", accessKey.size());
    return accessKey;
}

std::string WeatherCpHuafengAccu::GetRequestLocationUrl(double latitude, double longitude) {
    std::string apiKey = GetApiKeyString(HUA_KEY_TYPE_API);
    std::string requestTime = GetTimeString();
    std::string url = WithHost(REQUEST_LOCATION_INFO_URL, WEATHER_HOST_KEY_HUAFENG_LOCATION,
                               DEFAULT_LOCATION_HOST);
    url = StringUtil::StringReplace(url, "%1f", StringUtil::DoubleToString(latitude, 2));
    url = StringUtil::StringReplace(url, "%2f", StringUtil::DoubleToString(longitude, 2));
    url = StringUtil::StringReplace(url, "%3f", apiKey);
    url = StringUtil::StringReplace(url, "%4f", requestTime);
    return StringUtil::StringReplace(url, "%5f", GetAccessKey(apiKey, "locations", requestTime));
}

std::string WeatherCpHuafengAccu::GetRequestUrl(double, double) {
    std::string apiKey = GetApiKeyString(HUA_KEY_TYPE_API);
    std::string requestTime = GetTimeString();
    std::string url =
        WithHost(REQUEST_CURRENT_CONDITION_URL, WEATHER_HOST_KEY_HUAFENG, DEFAULT_HOST);
    url = StringUtil::StringReplace(url, "%1f", mLocationKey);
    url = StringUtil::StringReplace(url, "%2f", apiKey);
    url = StringUtil::StringReplace(url, "%3f", requestTime);
    return StringUtil::StringReplace(url, "%4f",
                                     GetAccessKey(apiKey, "currentconditions", requestTime));
}

std::string WeatherCpHuafengAccu::GetPrivacyPolicyText() {
    std::string text = i18n_get_text("LDS_ALTI_BODY_IF_YOU_WANT_TO_USE_ALTITUDE_INFORMATION_MSG");
    text = StringUtil::StringReplace(text, "%1$s",
                                     "<link><a href=here><font color=#FFFFFF><align=center><i>");
    text = StringUtil::StringReplace(text, "%2$s", "</i></align></font color></a></link>");
    return text + " " +
           i18n_get_text(
               "LDS_ALTI_BODY_PLEASE_READ_CAREFULLY_AND_UNDERSTAND_THE_THIRD_PARTY_SERVICE_"
               "PROVIDERS_TERMS_AND_CONDITIONS_MSG");
}
