#include "ZentrelWeather.h"

#include <ostra/app_control.h>
#include <ostra/message_port.h>

#include <cstdlib>
#include <ctime>

#include "StringUtil.h"
#include "ZentrelBuildConfig.h"
#include "ZentrelLog.h"
#include "ZentrelStorageMgr.h"

namespace {
const char* WEATHER_INFO_PORT = ZENTREL_PACKAGE_ID ".zentrel_weather_info";
constexpr long long MAX_AGE_SECONDS = 3600;
constexpr double NO_SLP = 9999.0;
}  // namespace

IZentrelWeatherListener* ZentrelWeather::_listener = nullptr;

ZentrelWeather::ZentrelWeather(IZentrelWeatherListener* listener) {
    _localPort = message_port_register_local_port(WEATHER_INFO_PORT, _MessagePortCallback, this);
    if (_localPort < 0) {
        ZLOGE("message_port_register_local_port failed(%d)", _localPort);
    }
    if (!listener) {
        ZLOGE("Listener is nullptr");
        return;
    }
    _listener = listener;
}

ZentrelWeather::~ZentrelWeather() {
    if (_localPort >= 0) {
        message_port_unregister_local_port(_localPort);
    }
}

bool ZentrelWeather::requestWeatherInfo() {
    app_control_h request = nullptr;
    int error = app_control_create(&request);
    if (error != APP_CONTROL_ERROR_NONE) {
        ZLOGE("[Fail] app_control_create : %d", error);
        return false;
    }
    bool sent = false;
    if ((error = app_control_set_app_id(request, ZENTREL_WEATHER_AGENT_APP_ID)) !=
        APP_CONTROL_ERROR_NONE) {
        ZLOGE("[Fail] app_control_set_app_id : %d", error);
    } else if ((error = app_control_add_extra_data(
                    request, "MESSAGE", "GET_CURRENT_WEATHER_INFO")) != APP_CONTROL_ERROR_NONE) {
        ZLOGE("[Fail] app_control_add_extra_data : %d ", error);
    } else if ((error = app_control_add_extra_data(request, "PORT_ID", WEATHER_INFO_PORT)) !=
               APP_CONTROL_ERROR_NONE) {
        ZLOGE("[Fail] app_control_add_extra_data :%d ", error);
    } else if ((error = app_control_send_launch_request(request, nullptr, nullptr)) !=
               APP_CONTROL_ERROR_NONE) {
        ZLOGE("[Fail] app_control_send_launch_request failed : %d", error);
    } else {
        ZLOGI("Request weather info to WeatherApp completed");
        sent = true;
    }
    app_control_destroy(request);
    return sent;
}

std::string ZentrelWeather::_bundleGetString(bundle* message, const char* key) {
    char* value = nullptr;
    if (!message || bundle_get_str(message, key, &value) != BUNDLE_ERROR_NONE || !value) {
        return "";
    }
    return value;
}

// Below freezing the agent sends a minus sign, which the number check of the
// pressure does not allow.
bool ZentrelWeather::_isValidTemperature(const std::string& text) {
    return !text.empty() && StringUtil::IsValidDoubleType(text[0] == '-' ? text.substr(1) : text);
}

void ZentrelWeather::_report(ZentrelWeatherResult result) {
    if (_listener) {
        _listener->onWeatherResult(result);
    }
}

void ZentrelWeather::_MessagePortCallback(int, const char*, const char*, bool, bundle* message,
                                          void*) {
    std::string timeText = _bundleGetString(message, "refreshedTime");
    std::string pressureText = _bundleGetString(message, "pressure");
    std::string temperatureText = _bundleGetString(message, "currentTemperature");
    ZLOGI("WeatherApp - GMT[%s], P[%s], T[%s]", timeText.c_str(), pressureText.c_str(),
          temperatureText.c_str());
    if (timeText.empty() || pressureText.empty()) {
        ZLOGE("ERROR : time and pressure are not exist");
        _report(WEATHER_LOW_VERSION);
        return;
    }
    if (!StringUtil::IsValidIntegerType(timeText)) {
        ZLOGE("ERROR : Refresh time is invalid [%s]", timeText.c_str());
        return;
    }
    if (!StringUtil::IsValidDoubleType(pressureText) || !_isValidTemperature(temperatureText)) {
        ZLOGE("ERROR : Pressure and temperature are invalid - P[%s], T[%s]", pressureText.c_str(),
              temperatureText.c_str());
        return;
    }
    long long refreshed = strtoll(timeText.c_str(), nullptr, 10);
    double slp = StringUtil::StringToDouble(pressureText);
    double temperature = StringUtil::StringToDouble(temperatureText);
    long long now = static_cast<long long>(time(nullptr));
    if (slp == NO_SLP) {
        ZLOGE("ERROR : Location is not supprot SLP");
        _report(WEATHER_UNSUPPORT_LOCATION);
        return;
    }
    if (now - refreshed > MAX_AGE_SECONDS) {
        ZLOGW("Weather has old Info");
        _report(SLP_NOT_UPDATED);
        return;
    }
    ZLOGI("New SLP [%lf], Temp [%lf]", slp, temperature);
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    storage->saveDataSLP(slp);
    storage->saveDataCalTime(refreshed);
    storage->addDataSLPHistory(refreshed, slp);
    storage->saveTemperature(temperature);
    _report(SLP_UPDATED);
}
