// The China provider: a signed location step, then signed current conditions
// for the location key that step returned.
#pragma once

#include <string>

#include "WeatherCp.h"

enum HUAKeyType {
    HUA_KEY_TYPE_SECRET = 0,
    HUA_KEY_TYPE_API = 1,
};

class WeatherCpHuafengAccu : public WeatherCp {
  public:
    WeatherCpHuafengAccu();
    ~WeatherCpHuafengAccu() override = default;

    // The conditions step; the position is not used, the stored key is.
    std::string GetRequestUrl(double latitude, double longitude) override;
    std::string GetPrivacyPolicyText() override;
    std::string GetRequestLocationUrl(double latitude, double longitude);
    void setLocationKey(std::string& key);

    std::string GetApiKeyString(HUAKeyType type);
    // UTC "%d%02d%02d%02d%d": year, month, day, hour, tens of minutes.
    std::string GetTimeString();
    // The URI-escaped Base64 HMAC-MD5 of key, resource and request time. The
    // caller passes the same request time it puts into the URL, so the two
    // always agree, also across a ten-minute boundary.
    std::string GetAccessKey(const std::string& apiKey, const std::string& resource,
                             const std::string& requestTime);

  private:
    std::string ToBase64(const unsigned char* data, unsigned int length);

    static std::string mLocationKey;
};
