// The Weather Company: HTTPS, API key from the key storage (new key first).
#pragma once

#include "WeatherCp.h"

class WeatherCpTwc : public WeatherCp {
  public:
    WeatherCpTwc();
    ~WeatherCpTwc() override = default;

    std::string GetRequestUrl(double latitude, double longitude) override;
    std::string GetPrivacyPolicyText() override;

  private:
    std::string GetApiKeyString();

    bool _haveNewKey = false;
};
