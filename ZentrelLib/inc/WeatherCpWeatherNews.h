// Weathernews: plain HTTP, no key.
#pragma once

#include "WeatherCp.h"

class WeatherCpWeatherNews : public WeatherCp {
  public:
    WeatherCpWeatherNews();
    ~WeatherCpWeatherNews() override = default;

    std::string GetRequestUrl(double latitude, double longitude) override;
    std::string GetPrivacyPolicyText() override;
};
