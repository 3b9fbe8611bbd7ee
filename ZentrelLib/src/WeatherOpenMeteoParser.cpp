#include "WeatherOpenMeteoParser.h"

#include "ZentrelLog.h"

namespace {
const char* PARSE_KEY_CURRENT = "current";
const char* PARSE_KEY_UNITS = "current_units";
const char* PARSE_KEY_TIME = "time";
const char* PARSE_KEY_SLP = "pressure_msl";
const char* PARSE_KEY_TEMPERATURE = "temperature_2m";
const char* UNIT_SLP = "hPa";
const char* UNIT_TEMPERATURE =
    "\xC2\xB0"
    "C";
}  // namespace

WeatherOpenMeteoParser::~WeatherOpenMeteoParser() {
    ReleaseParseData();
}

JsonObject* WeatherOpenMeteoParser::GetObjectMember(JsonObject* object, const char* name) {
    JsonNode* node = json_object_get_member(object, name);
    if (!node || !JSON_NODE_HOLDS_OBJECT(node)) {
        ZLOGE("[%s] is missing or not an object", name);
        return nullptr;
    }
    return json_node_get_object(node);
}

bool WeatherOpenMeteoParser::GetNumberMember(JsonObject* object, const char* name, double* value) {
    JsonNode* node = json_object_get_member(object, name);
    if (!node || !JSON_NODE_HOLDS_VALUE(node)) {
        ZLOGE("[%s] is missing or not a value", name);
        return false;
    }
    GType type = json_node_get_value_type(node);
    if (type == G_TYPE_DOUBLE) {
        *value = json_node_get_double(node);
        return true;
    }
    if (type == G_TYPE_INT64) {
        *value = static_cast<double>(json_node_get_int(node));
        return true;
    }
    ZLOGE("[%s] is not a number (%s)", name, g_type_name(type));
    return false;
}

bool WeatherOpenMeteoParser::HasUnit(JsonObject* units, const char* name, const char* expected) {
    JsonNode* node = json_object_get_member(units, name);
    const char* unit =
        node && JSON_NODE_HOLDS_VALUE(node) && json_node_get_value_type(node) == G_TYPE_STRING
            ? json_node_get_string(node)
            : nullptr;
    if (!unit || g_strcmp0(unit, expected) != 0) {
        ZLOGE("unit of [%s] is [%s], not [%s]", name, unit ? unit : "none", expected);
        return false;
    }
    return true;
}

// The service answers in GMT unless asked otherwise, as "YYYY-MM-DDThh:mm".
bool WeatherOpenMeteoParser::GetTimeMilliSec(JsonObject* current, double* milliSec) {
    JsonNode* node = json_object_get_member(current, PARSE_KEY_TIME);
    if (!node || !JSON_NODE_HOLDS_VALUE(node) || json_node_get_value_type(node) != G_TYPE_STRING) {
        ZLOGE("[%s] is missing or not a text", PARSE_KEY_TIME);
        return false;
    }
    std::string text = json_node_get_string(node);
    // GLib wants seconds; the service leaves them out.
    if (text.size() == 16 && text[13] == ':') {
        text += ":00";
    }
    GTimeZone* utc = g_time_zone_new_utc();
    GDateTime* time = g_date_time_new_from_iso8601(text.c_str(), utc);
    g_time_zone_unref(utc);
    if (!time) {
        ZLOGE("[%s] is not a time [%s]", PARSE_KEY_TIME, text.c_str());
        return false;
    }
    *milliSec = static_cast<double>(g_date_time_to_unix(time)) * 1000.0;
    g_date_time_unref(time);
    return true;
}

WeatherDataPtr WeatherOpenMeteoParser::GetCpWeatherData() {
    JsonObject* root = GetRootObject();
    if (!root) {
        return nullptr;
    }
    JsonObject* current = GetObjectMember(root, PARSE_KEY_CURRENT);
    JsonObject* units = GetObjectMember(root, PARSE_KEY_UNITS);
    if (!current || !units) {
        return nullptr;
    }
    double slp = 0.0;
    double temperature = 0.0;
    double timeMilliSec = 0.0;
    if (!GetNumberMember(current, PARSE_KEY_SLP, &slp) ||
        !GetNumberMember(current, PARSE_KEY_TEMPERATURE, &temperature) ||
        !GetTimeMilliSec(current, &timeMilliSec) || !HasUnit(units, PARSE_KEY_SLP, UNIT_SLP) ||
        !HasUnit(units, PARSE_KEY_TEMPERATURE, UNIT_TEMPERATURE)) {
        return nullptr;
    }
    if (!IsPlausible(slp, kMinSlpHpa, kMaxSlpHpa, PARSE_KEY_SLP) ||
        !IsPlausible(temperature, kMinCelsius, kMaxCelsius, PARSE_KEY_TEMPERATURE)) {
        return nullptr;
    }
    ZLOGD("SLP [%lf], Temp [%lf], time [%lf]", slp, temperature, timeMilliSec);
    WeatherDataPtr data = std::make_shared<WeatherData>();
    data->SetAtmPressure(slp);
    data->SetAtmUnit(ATM_PRESSURE_UNIT_TYPE_MB);
    data->setTemperature(temperature);
    data->SetWeatherInfoUpdateTimeMiliSec(timeMilliSec);
    data->SetWeatherInfoType(WEATHER_INFO_TYPE_CURRENT_CONDITION);
    data->SetCPtype(WEATHER_CP_TYPE_OPENMETEO);
    return data;
}
