#include "WeatherParser.h"

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
    // The body carries no terminator: log exactly its bytes.
    ZLOGD("raw string [%.*s]", length, data);
    if (mParser) {
        ZLOGE("previous parser is not closed. find it !!!");
        return;
    }
    mParser = json_parser_new();
    if (!mParser) {
        ZLOGE("mParser is nullptr");
        return;
    }
    GError* error = nullptr;
    if (!json_parser_load_from_data(mParser, data, length, &error)) {
        ZLOGE("parsing is failed [%s]", error ? error->message : "");
        g_clear_error(&error);
    }
    mRootNode = json_parser_get_root(mParser);
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

// json-glib keeps every JSON integer as 64 bits; narrow it here.
int WeatherParser::GetIntValue(JsonNode* node) {
    return static_cast<int>(json_node_get_int(node));
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
