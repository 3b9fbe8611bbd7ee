// Current conditions of The Weather Company (English units).
#pragma once

#include "WeatherParser.h"

class WeatherTwcParser : public WeatherParser {
  public:
    WeatherTwcParser() = default;
    ~WeatherTwcParser() override;

    WeatherDataPtr GetCpWeatherData() override;
};
