#include "WeatherHuafengAccuParser.h"

#include "ZentrelLog.h"

namespace {
const char* PARSE_KEY_SLP = "Pressure";
const char* PARSE_KEY_TEMPERATURE = "Temperature";
const char* PARSE_KEY_LOCATION_KEY = "Key";
const char* PARSE_KEY_METRIC = "Metric";
const char* PARSE_KEY_VALUE = "Value";
constexpr double kNoTemperature = 99999.0;
constexpr size_t kMaxLocationKeyLength = 64;
const char* kLocationKeyCharacters =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_-";
}  // namespace

WeatherHuafengAccuParser::~WeatherHuafengAccuParser() {
    ReleaseParseData();
}

bool WeatherHuafengAccuParser::_readMetricValue(JsonObject* element, const char* member,
                                                const char* missingLog, const char* objectLog,
                                                double min, double max, double* value) {
    if (!json_object_has_member(element, member)) {
        ZLOGW("%s", missingLog);
        return true;
    }
    JsonNode* memberNode = json_object_get_member(element, member);
    if (!JSON_NODE_HOLDS_OBJECT(memberNode)) {
        ZLOGE("%s", objectLog);
        return false;
    }
    JsonObject* memberObject = json_node_get_object(memberNode);
    if (!json_object_has_member(memberObject, PARSE_KEY_METRIC)) {
        ZLOGE("metricNode null");
        return false;
    }
    JsonNode* metricNode = json_object_get_member(memberObject, PARSE_KEY_METRIC);
    if (!JSON_NODE_HOLDS_OBJECT(metricNode)) {
        ZLOGE("metricObject null");
        return false;
    }
    JsonObject* metric = json_node_get_object(metricNode);
    if (!json_object_has_member(metric, PARSE_KEY_VALUE)) {
        // A metric without a value is as good as a missing member.
        ZLOGW("%s", missingLog);
        return true;
    }
    return ReadPlausibleNumber(json_object_get_member(metric, PARSE_KEY_VALUE), min, max, member,
                               value);
}

WeatherDataPtr WeatherHuafengAccuParser::GetCpWeatherData() {
    if (!mRootNode) {
        ZLOGE("Failed get root node");
        return nullptr;
    }
    if (!JSON_NODE_HOLDS_ARRAY(mRootNode)) {
        ZLOGE("array null");
        return nullptr;
    }
    JsonArray* array = json_node_get_array(mRootNode);
    if (json_array_get_length(array) == 0) {
        ZLOGE("element null");
        return nullptr;
    }
    JsonNode* elementNode = json_array_get_element(array, 0);
    if (!JSON_NODE_HOLDS_OBJECT(elementNode)) {
        ZLOGE("weatherInfoRootObject null");
        return nullptr;
    }
    JsonObject* element = json_node_get_object(elementNode);

    double temperature = kNoTemperature;
    if (!_readMetricValue(element, PARSE_KEY_TEMPERATURE, "No temperature value",
                          "temperatureObject null", kMinCelsius, kMaxCelsius, &temperature)) {
        return nullptr;
    }
    ZLOGD("temperatureValue [%lf] ", temperature);

    double slp = 0.0;
    if (!_readMetricValue(element, PARSE_KEY_SLP, "No pressure value", "slpObject null", kMinSlpHpa,
                          kMaxSlpHpa, &slp)) {
        return nullptr;
    }
    ZLOGD("slpValue [%lf] ", slp);

    WeatherDataPtr data = std::make_shared<WeatherData>();
    data->SetAtmPressure(slp);
    data->SetAtmUnit(ATM_PRESSURE_UNIT_TYPE_MB);
    data->setTemperature(temperature);
    data->SetWeatherInfoType(WEATHER_INFO_TYPE_CURRENT_CONDITION);
    data->SetCPtype(WEATHER_CP_TYPE_HUAFENGACCU);
    return data;
}

std::string WeatherHuafengAccuParser::GetLocationKey(char* data, int length) {
    if (!data) {
        ZLOGE("jsonData is nullptr");
        return "";
    }
    if (!IsAcceptableBody(data, length)) {
        return "";
    }
    ZLOGD("raw string [%.*s]", length, data);
    JsonParser* parser = json_parser_new();
    if (!parser) {
        ZLOGE("parser is nullptr");
        return "";
    }
    std::string key;
    GError* error = nullptr;
    if (!json_parser_load_from_data(parser, data, length, &error)) {
        ZLOGE("json_parser_load_from_data is failed [%s]", error ? error->message : "");
        g_clear_error(&error);
    } else {
        JsonNode* root = json_parser_get_root(parser);
        if (!root || !JSON_NODE_HOLDS_OBJECT(root)) {
            ZLOGE("rootObject null");
        } else if (!json_object_has_member(json_node_get_object(root), PARSE_KEY_LOCATION_KEY)) {
            ZLOGE("No locationKey value");
        } else {
            key = GetStringValue(
                json_object_get_member(json_node_get_object(root), PARSE_KEY_LOCATION_KEY));
            ZLOGI("locationKey [%s]", key.c_str());
            // The key becomes part of the next request's path.
            if (key.size() > kMaxLocationKeyLength ||
                key.find_first_not_of(kLocationKeyCharacters) != std::string::npos) {
                ZLOGE("locationKey refused");
                key.clear();
            }
        }
    }
    g_object_unref(parser);
    return key;
}
