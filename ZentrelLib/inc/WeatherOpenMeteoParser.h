// Current sea-level pressure, temperature and observation time of the
// keyless forecast service. Strict: an answer that is not exactly what was
// asked for (member missing, wrong type or unit, implausible pressure) gives
// no record, so a bad answer never becomes a calibration.
#pragma once

#include "WeatherParser.h"

class WeatherOpenMeteoParser : public WeatherParser {
  public:
    WeatherOpenMeteoParser() = default;
    ~WeatherOpenMeteoParser() override;

    WeatherDataPtr GetCpWeatherData() override;

  private:
    static JsonObject* GetObjectMember(JsonObject* object, const char* name);
    static bool GetNumberMember(JsonObject* object, const char* name, double* value);
    static bool HasUnit(JsonObject* units, const char* name, const char* expected);
    static bool GetTimeMilliSec(JsonObject* current, double* milliSec);
};
