// Hears the outcome of a weather-agent fetch (ZentrelWeather).
#pragma once

enum ZentrelWeatherResult {
    SLP_UPDATED = 0,
    SLP_NOT_UPDATED = 1,
    WEATHER_LOW_VERSION = 2,
    WEATHER_UNSUPPORT_LOCATION = 3,
    UNKNOW_ERROR = 4,
};

class IZentrelWeatherListener {
  public:
    virtual bool onWeatherResult(ZentrelWeatherResult result) = 0;

  protected:
    virtual ~IZentrelWeatherListener() = default;
};
