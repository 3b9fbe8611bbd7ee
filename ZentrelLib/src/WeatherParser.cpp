#include "WeatherParser.h"

#include <cmath>
#include <limits>

#include <ostra/json_guard.h>

#include "StringUtil.h"
#include "ZentrelLog.h"

WeatherParser::~WeatherParser() {
    ReleaseParseData();
}

void WeatherParser::Parse(char* data, int length) {
    if (!data) {
        ZLOGE("jsonData is nullptr");
        return;
    }
    if (mParser) {
        ZLOGE("previous parser is not closed. find it !!!");
        return;
    }
    if (!IsAcceptableBody(data, length)) {
        return;
    }
    // The body carries no terminator: log exactly its bytes.
    ZLOGD("raw string [%.*s]", length, data);
    mParser = json_parser_new();
    if (!mParser) {
        ZLOGE("mParser is nullptr");
        return;
    }
    GError* error = nullptr;
    if (!json_parser_load_from_data(mParser, data, length, &error)) {
        // json-glib keeps what it read before the error; a body that does not
        // parse is no answer at all.
        ZLOGE("parsing is failed [%s]", error ? error->message : "");
        g_clear_error(&error);
        ReleaseParseData();
        return;
    }
    mRootNode = json_parser_get_root(mParser);
}

bool WeatherParser::IsAcceptableBody(const char* data, int length) {
    if (length < 0 || length > kMaxBodyBytes) {
        ZLOGE("body of %d bytes refused (at most %d)", length, kMaxBodyBytes);
        return false;
    }
    if (!ostra_json_within_limits(data, static_cast<size_t>(length), kMaxBodyBytes, kMaxDepth)) {
        ZLOGE("body nested deeper than %d levels refused", kMaxDepth);
        return false;
    }
    return true;
}

bool WeatherParser::IsPlausible(double value, double min, double max, const char* name) {
    if (!std::isfinite(value) || value < min || value > max) {
        ZLOGE("[%s] of %g is out of range [%g, %g]", name, value, min, max);
        return false;
    }
    return true;
}

bool WeatherParser::ReadPlausibleNumber(JsonNode* node, double min, double max, const char* name,
                                        double* value) {
    double number = GetNumberByType(node, std::numeric_limits<double>::quiet_NaN());
    if (std::isnan(number)) {
        return true;
    }
    if (!IsPlausible(number, min, max, name)) {
        return false;
    }
    *value = number;
    return true;
}

WeatherDataPtr WeatherParser::GetCpWeatherData() {
    return nullptr;
}

JsonObject* WeatherParser::GetRootObject() {
    if (!mRootNode) {
        ZLOGE("Failed get root node");
        return nullptr;
    }
    if (!JSON_NODE_HOLDS_OBJECT(mRootNode)) {
        ZLOGE("weatherInfoRootObject null");
        return nullptr;
    }
    return json_node_get_object(mRootNode);
}

void WeatherParser::ReleaseParseData() {
    ZLOGI("Release parse data");
    mRootNode = nullptr;
    if (mParser) {
        g_object_unref(mParser);
        mParser = nullptr;
    }
}

std::string WeatherParser::GetValueTypeFromNode(JsonNode* node) {
    if (!node || !JSON_NODE_HOLDS_VALUE(node)) {
        ZLOGE("Invalid value type");
        return "invalid type";
    }
    switch (G_TYPE_FUNDAMENTAL(json_node_get_value_type(node))) {
        case G_TYPE_BOOLEAN:
            return "boolean";
        case G_TYPE_INT:
            return "int";
        case G_TYPE_UINT:
            return "uint";
        case G_TYPE_INT64:
            return "int64";
        case G_TYPE_UINT64:
            return "uint64";
        case G_TYPE_DOUBLE:
            return "double";
        case G_TYPE_STRING:
            return "string";
        default:
            ZLOGE("Invalid value type");
            return "invalid type";
    }
}

gint64 WeatherParser::GetInt64Value(JsonNode* node) {
    return json_node_get_int(node);
}

double WeatherParser::GetDoubleValue(JsonNode* node) {
    if (GetValueTypeFromNode(node) == "string") {
        return StringUtil::StringToDouble(json_node_get_string(node));
    }
    return json_node_get_double(node);
}

std::string WeatherParser::GetStringValue(JsonNode* node) {
    const char* text = json_node_get_string(node);
    return text ? text : "";
}

double WeatherParser::GetNumberByType(JsonNode* node, double fallback) {
    std::string type = GetValueTypeFromNode(node);
    ZLOGW("TYPE [%s]", type.c_str());
    if (type == "int64") {
        return static_cast<double>(GetInt64Value(node));
    }
    if (type == "double") {
        return GetDoubleValue(node);
    }
    ZLOGE("Unknown type [%s]", type.c_str());
    return fallback;
}
