// Turns one provider answer (JSON) into a WeatherData record. A parser holds
// at most one parse tree, from Parse to ReleaseParseData.
#pragma once

#include <json-glib/json-glib.h>

#include <string>

#include "WeatherData.h"

class WeatherParser {
  public:
    WeatherParser() = default;
    virtual ~WeatherParser();

    // Builds the tree from exactly length bytes; refused while a tree is held.
    virtual void Parse(char* data, int length);
    virtual WeatherDataPtr GetCpWeatherData();

    void ReleaseParseData();

  protected:
    double GetDoubleValue(JsonNode* node);
    gint64 GetInt64Value(JsonNode* node);
    int GetIntValue(JsonNode* node);
    std::string GetStringValue(JsonNode* node);
    std::string GetValueTypeFromNode(JsonNode* node);

    // The held tree's root object; null (and a log line) when there is none.
    JsonObject* GetRootObject();
    // Reads a number member that may come as an integer or a double; any other
    // type is logged and gives fallback.
    double GetNumberByType(JsonNode* node, double fallback);

    JsonParser* mParser = nullptr;
    JsonNode* mRootNode = nullptr;

  private:
    WeatherParser(const WeatherParser&) = delete;
    WeatherParser& operator=(const WeatherParser&) = delete;
};
