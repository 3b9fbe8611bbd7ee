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

    // A weather answer is a few KiB nested a few levels; anything far beyond
    // is refused before json-glib, which recurses once per level.
    static constexpr int kMaxBodyBytes = 1024 * 1024;
    static constexpr int kMaxDepth = 64;
    // True when length bytes are within both bounds (strings are skipped
    // when counting the nesting); logs why not.
    static bool IsAcceptableBody(const char* data, int length);

    // Plausible values; anything outside fails the answer. Sea-level
    // pressure has stayed within 870..1085 hPa and air temperature within
    // -90..57 degrees C in every record; the margins leave room for both.
    static constexpr double kMinSlpHpa = 850.0;
    static constexpr double kMaxSlpHpa = 1100.0;
    static constexpr double kMinCelsius = -100.0;
    static constexpr double kMaxCelsius = 70.0;
    // Observation times in seconds since 1970: 2000-01-01 to 2100-01-01.
    static constexpr double kMinTimeSec = 946684800.0;
    static constexpr double kMaxTimeSec = 4102444800.0;
    // False (and a log line) unless value is finite and within [min, max].
    static bool IsPlausible(double value, double min, double max, const char* name);

  protected:
    double GetDoubleValue(JsonNode* node);
    gint64 GetInt64Value(JsonNode* node);
    std::string GetStringValue(JsonNode* node);
    std::string GetValueTypeFromNode(JsonNode* node);

    // The held tree's root object; null (and a log line) when there is none.
    JsonObject* GetRootObject();
    // Reads a number member that may come as an integer or a double; any other
    // type is logged and gives fallback.
    double GetNumberByType(JsonNode* node, double fallback);
    // Reads an optional number with GetNumberByType: a value of another type
    // leaves *value as it is; a number outside [min, max] is false.
    bool ReadPlausibleNumber(JsonNode* node, double min, double max, const char* name,
                             double* value);

    JsonParser* mParser = nullptr;
    JsonNode* mRootNode = nullptr;

  private:
    WeatherParser(const WeatherParser&) = delete;
    WeatherParser& operator=(const WeatherParser&) = delete;
};
