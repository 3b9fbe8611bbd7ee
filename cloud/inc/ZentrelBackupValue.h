// The backup record's value: six settings as one flat JSON object, built
// from the store and, on restore, checked member by member and written back.
#pragma once

#include <json-glib/json-glib.h>

#include <optional>
#include <string>

class ZentrelBackupValue {
  public:
    // Member names as existing backups spell them.
    static constexpr const char* MANUAL = "zentrel_setting_manual";
    static constexpr const char* DISTANCE = "zentrel_setting_distance";
    static constexpr const char* PRESSURE = "zentrel_setting_pressure";
    static constexpr const char* ALERT = "zentrel_setting_alert";
    static constexpr const char* SEE_LEVEL = "zentrel_data_see_level";
    static constexpr const char* AUTO_REFRESH = "zentrel_setting_auto_refresh";

    // The compact JSON text of the current settings; empty when it cannot be made.
    static std::string build();
    // Writes every member that is present, of its JSON type and in range;
    // each other member is logged and keeps its stored value. Raises
    // "restore completed" when anything was written. True when anything was.
    static bool apply(const char* value);

  private:
    struct Members {
        std::optional<int> manual;
        std::optional<int> distance;
        std::optional<int> pressure;
        std::optional<int> alert;
        std::optional<double> seeLevel;
        std::optional<int> autoRefresh;
    };

    static JsonObject* _parseObject(const char* value, JsonParser* parser);
    static void _logRead(JsonObject* object);
    static Members _validMembers(JsonObject* object);
    static std::optional<int> _validInt(JsonObject* object, const char* name, int min, int max);
    static std::optional<double> _validSeeLevel(JsonObject* object);
    static bool _write(const Members& members);
};
