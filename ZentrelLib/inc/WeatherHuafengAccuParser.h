// The China provider: current conditions, and the location key of its first step.
#pragma once

#include <string>

#include "WeatherParser.h"

class WeatherHuafengAccuParser : public WeatherParser {
  public:
    WeatherHuafengAccuParser() = default;
    ~WeatherHuafengAccuParser() override;

    WeatherDataPtr GetCpWeatherData() override;
    // Self-contained: uses its own temporary parse tree.
    std::string GetLocationKey(char* data, int length);

  private:
    // Walks member -> "Metric" -> "Value"; false when the answer is unusable
    // (a value outside [min, max] included).
    bool _readMetricValue(JsonObject* element, const char* member, const char* missingLog,
                          const char* objectLog, double min, double max, double* value);
};
