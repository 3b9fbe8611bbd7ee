#include "WeatherNewsParser.h"

#include "ZentrelLog.h"

namespace {
const char* PARSE_KEY_SLP = "press";
const char* PARSE_KEY_TEMPERATURE = "temp";
const char* PARSE_KEY_STATUS_CODE = "status";
const char* PARSE_KEY_ERR_MSG_CODE = "message";
}  // namespace

WeatherNewsParser::~WeatherNewsParser() {
    ReleaseParseData();
}

WeatherDataPtr WeatherNewsParser::GetCpWeatherData() {
    JsonObject* root = GetRootObject();
    if (!root) {
        return nullptr;
    }
    if (json_object_has_member(root, PARSE_KEY_STATUS_CODE)) {
        std::string status = GetStringValue(json_object_get_member(root, PARSE_KEY_STATUS_CODE));
        if (status != "OK") {
            if (json_object_has_member(root, PARSE_KEY_ERR_MSG_CODE)) {
                std::string message =
                    GetStringValue(json_object_get_member(root, PARSE_KEY_ERR_MSG_CODE));
                ZLOGE("Status NG (%s)", message.c_str());
            } else {
                ZLOGE("Status NG (No error message)");
            }
            return nullptr;
        }
        ZLOGI("Status OK");
    }

    WeatherDataPtr data = std::make_shared<WeatherData>();
    if (json_object_has_member(root, PARSE_KEY_SLP)) {
        double slp = 0.0;
        if (!ReadPlausibleNumber(json_object_get_member(root, PARSE_KEY_SLP), kMinSlpHpa,
                                 kMaxSlpHpa, PARSE_KEY_SLP, &slp)) {
            return nullptr;
        }
        data->SetAtmPressure(slp);
        data->SetAtmUnit(ATM_PRESSURE_UNIT_TYPE_MB);
        ZLOGD("[1] %lf", slp);
    } else {
        ZLOGW("No pressure value");
    }

    if (json_object_has_member(root, PARSE_KEY_TEMPERATURE)) {
        double temperature = data->getTemperature();
        if (!ReadPlausibleNumber(json_object_get_member(root, PARSE_KEY_TEMPERATURE), kMinCelsius,
                                 kMaxCelsius, PARSE_KEY_TEMPERATURE, &temperature)) {
            return nullptr;
        }
        data->setTemperature(temperature);
        ZLOGD("[2] %lf", temperature);
    } else {
        ZLOGW("No temperature value");
    }

    data->SetWeatherInfoType(WEATHER_INFO_TYPE_CURRENT_CONDITION);
    data->SetCPtype(WEATHER_CP_TYPE_WEATHERNEWS);
    return data;
}
