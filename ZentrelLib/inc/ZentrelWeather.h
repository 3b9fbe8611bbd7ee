// Asks the platform's weather agent for its latest sea-level pressure and
// temperature; a fresh, valid answer becomes the new calibration.
#pragma once

#include <ostra/bundle.h>

#include <string>

#include "IZentrelWeatherListener.h"

class ZentrelWeather {
  public:
    explicit ZentrelWeather(IZentrelWeatherListener* listener);
    virtual ~ZentrelWeather();

    bool requestWeatherInfo();

  private:
    ZentrelWeather(const ZentrelWeather&) = delete;
    ZentrelWeather& operator=(const ZentrelWeather&) = delete;

    static void _MessagePortCallback(int localPortId, const char* remoteAppId,
                                     const char* remotePort, bool trustedRemotePort,
                                     bundle* message, void* userData);
    static std::string _bundleGetString(bundle* message, const char* key);
    static bool _isValidTemperature(const std::string& text);
    static void _report(ZentrelWeatherResult result);

    int _localPort = -1;
    static IZentrelWeatherListener* _listener;
};
