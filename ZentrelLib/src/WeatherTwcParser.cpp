#include "WeatherTwcParser.h"

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
        double seconds =
            static_cast<double>(GetInt64Value(json_object_get_member(current, PARSE_KEY_UTC)));
        ZLOGD("[1] %lf", seconds);
        data->SetWeatherInfoUpdateTimeMiliSec(seconds * 1000.0);
    } else {
        ZLOGW("No UTC time value");
    }

    if (json_object_has_member(current, PARSE_KEY_SLP)) {
        double slp = GetDoubleValue(json_object_get_member(current, PARSE_KEY_SLP));
        ZLOGD("[2] %lf", slp);
        data->SetAtmPressure(slp);
        data->SetAtmUnit(ATM_PRESSURE_UNIT_TYPE_MB);
    } else {
        ZLOGW("No pressure value");
    }

    if (json_object_has_member(current, PARSE_KEY_TEMPERATURE)) {
        // The request asks for English units: degrees Fahrenheit.
        int fahrenheit = GetIntValue(json_object_get_member(current, PARSE_KEY_TEMPERATURE));
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
