// The keyless forecast service (Open-Meteo): HTTPS, no key, so every
// installation can calibrate from the network.
#pragma once

#include "WeatherCp.h"

class WeatherCpOpenMeteo : public WeatherCp {
  public:
    WeatherCpOpenMeteo();
    ~WeatherCpOpenMeteo() override = default;

    std::string GetRequestUrl(double latitude, double longitude) override;
    std::string GetPrivacyPolicyText() override;
};
