#include "WeatherTwcParser.h"

#include <cmath>
#include <limits>

#include "ZentrelLog.h"

namespace {
const char* PARSE_KEY_CURRENT = "v3-wx-observations-current";
const char* PARSE_KEY_UTC = "validTimeUtc";
const char* PARSE_KEY_SLP = "pressureMeanSeaLevel";
const char* PARSE_KEY_TEMPERATURE = "temperature";
}  // namespace

WeatherTwcParser::~WeatherTwcParser() {
    ReleaseParseData();
}

WeatherDataPtr WeatherTwcParser::GetCpWeatherData() {
    JsonObject* root = GetRootObject();
    if (!root) {
        return nullptr;
    }
    if (!json_object_has_member(root, PARSE_KEY_CURRENT)) {
        ZLOGE("key [%s] is not found", PARSE_KEY_CURRENT);
        return nullptr;
    }
    JsonNode* currentNode = json_object_get_member(root, PARSE_KEY_CURRENT);
    if (!JSON_NODE_HOLDS_OBJECT(currentNode)) {
        ZLOGE("currentObject is null");
        return nullptr;
    }
    JsonObject* current = json_node_get_object(currentNode);
    WeatherDataPtr data = std::make_shared<WeatherData>();

    if (json_object_has_member(current, PARSE_KEY_UTC)) {
        JsonNode* node = json_object_get_member(current, PARSE_KEY_UTC);
        if (GetValueTypeFromNode(node) != "int64") {
            ZLOGE("[%s] is not a whole number", PARSE_KEY_UTC);
            return nullptr;
        }
        double seconds = static_cast<double>(GetInt64Value(node));
        ZLOGD("[1] %lf", seconds);
        if (!IsPlausible(seconds, kMinTimeSec, kMaxTimeSec, PARSE_KEY_UTC)) {
            return nullptr;
        }
        data->SetWeatherInfoUpdateTimeMiliSec(seconds * 1000.0);
    } else {
        ZLOGW("No UTC time value");
    }

    if (json_object_has_member(current, PARSE_KEY_SLP)) {
        JsonNode* node = json_object_get_member(current, PARSE_KEY_SLP);
        std::string type = GetValueTypeFromNode(node);
        // Only a number, or a number written as text, is a pressure.
        if (type != "int64" && type != "double" && type != "string") {
            ZLOGE("[%s] is not a number (%s)", PARSE_KEY_SLP, type.c_str());
            return nullptr;
        }
        double slp = GetDoubleValue(node);
        ZLOGD("[2] %lf", slp);
        if (!IsPlausible(slp, kMinSlpHpa, kMaxSlpHpa, PARSE_KEY_SLP)) {
            return nullptr;
        }
        data->SetAtmPressure(slp);
        data->SetAtmUnit(ATM_PRESSURE_UNIT_TYPE_MB);
    } else {
        ZLOGW("No pressure value");
    }

    if (json_object_has_member(current, PARSE_KEY_TEMPERATURE)) {
        // The request asks for English units: degrees Fahrenheit, checked
        // before narrowing so no value can overflow the integer.
        double reading = std::numeric_limits<double>::quiet_NaN();
        if (!ReadPlausibleNumber(json_object_get_member(current, PARSE_KEY_TEMPERATURE),
                                 kMinCelsius * 9 / 5 + 32, kMaxCelsius * 9 / 5 + 32,
                                 PARSE_KEY_TEMPERATURE, &reading)) {
            return nullptr;
        }
        if (std::isnan(reading)) {
            ZLOGE("[%s] is not a number", PARSE_KEY_TEMPERATURE);
            return nullptr;
        }
        int fahrenheit = static_cast<int>(reading);
        double celsius = ((fahrenheit - 32) * 5) / 9.0;
        ZLOGD("[3] %d (%lf)", fahrenheit, celsius);
        data->setTemperature(celsius);
    } else {
        ZLOGW("No temperature value");
    }

    data->SetWeatherInfoType(WEATHER_INFO_TYPE_CURRENT_CONDITION);
    data->SetCPtype(WEATHER_CP_TYPE_TWC);
    return data;
}
