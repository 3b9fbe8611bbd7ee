// Current pressure and temperature of the Weathernews service.
#pragma once

#include "WeatherParser.h"

class WeatherNewsParser : public WeatherParser {
  public:
    WeatherNewsParser() = default;
    ~WeatherNewsParser() override;

    WeatherDataPtr GetCpWeatherData() override;
};
