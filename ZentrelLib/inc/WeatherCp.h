// A weather content provider: builds the current-conditions URL for a
// position and gives its privacy notice.
#pragma once

#include <string>

class WeatherCp {
  public:
    WeatherCp() = default;
    virtual ~WeatherCp() = default;

    virtual std::string GetRequestUrl(double latitude, double longitude) = 0;
    virtual std::string GetPrivacyPolicyText() = 0;
    virtual std::string GetCityInfoRequestUrl(std::string cityCode);

  protected:
    // The host (and port) of a provider endpoint: a system key, so a local
    // server can stand in for the provider without a rebuild.
    static std::string GetHost(const char* systemKey, const char* fallback);
    // Puts the host into a template's "%host" placeholder.
    static std::string WithHost(const std::string& urlTemplate, const char* systemKey,
                                const char* fallback);

  private:
    WeatherCp(const WeatherCp&) = delete;
    WeatherCp& operator=(const WeatherCp&) = delete;
};

// System keys that hold the provider hosts.
#define WEATHER_HOST_KEY_TWC "db/zentrel/weather/twc_host"
#define WEATHER_HOST_KEY_WEATHERNEWS "db/zentrel/weather/weathernews_host"
#define WEATHER_HOST_KEY_HUAFENG_LOCATION "db/zentrel/weather/huafeng_location_host"
#define WEATHER_HOST_KEY_HUAFENG "db/zentrel/weather/huafeng_host"
#define WEATHER_HOST_KEY_OPENMETEO "db/zentrel/weather/open_host"
