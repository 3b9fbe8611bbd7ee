// Which weather provider is in force, and why. The user's choice lives in a
// system key; "auto" takes the provider of the sales country when it can be
// used (its key stored, its hosts set) and the keyless source otherwise.
#pragma once

#include <string>

#include "WeatherTypes.h"

// System key of the user's choice: auto, twc, weathernews, huafeng or open.
#define WEATHER_PROVIDER_KEY "db/zentrel/weather/provider"

class WeatherCpChoice {
  public:
    struct Result {
        WEATHER_CP_TYPE type;
        std::string reason;
    };

    // country: the sales-country code (or its diagnostic override).
    static Result Choose(const std::string& country);
    // The provider the country stands for, before any fallback.
    static WEATHER_CP_TYPE ByCountry(const std::string& country);
    // Why a provider cannot be used here; empty when it can.
    static std::string WhyUnusable(WEATHER_CP_TYPE type);
    // The name used in the system key ("twc", ..., "open").
    static std::string Name(WEATHER_CP_TYPE type);

  private:
    static Result ChooseByCountry(const std::string& country);
    static bool HasTwcKey();
    static bool IsHostSet(const char* systemKey);
};
