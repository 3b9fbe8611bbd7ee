#include "ZentrelBackupValue.h"

#include <ostra/json_guard.h>

#include <cstring>
#include <ctime>

#include "ZentrelCloudLog.h"
#include "ZentrelStorageMgr.h"

namespace {

// The store's SLP limits in hPa, the unit every stored pressure is in.
constexpr double kSeeLevelMinHpa = 350.0;
constexpr double kSeeLevelMaxHpa = 1150.0;
// The value is six flat members, well under a KiB; anything far beyond is
// refused before json-glib, which recurses once per nesting level.
constexpr size_t kMaxValueBytes = 64 * 1024;
constexpr int kMaxValueDepth = 8;

bool holdsType(JsonNode* node, GType type) {
    return JSON_NODE_HOLDS_VALUE(node) && json_node_get_value_type(node) == type;
}

}  // namespace

std::string ZentrelBackupValue::build() {
    ZentrelStorageMgr* store = ZentrelStorageMgr::getInstance();
    store->initStorage();
    JsonBuilder* builder = json_builder_new();
    json_builder_begin_object(builder);
    json_builder_set_member_name(builder, MANUAL);
    json_builder_add_int_value(builder, store->getSettingManualMode());
    json_builder_set_member_name(builder, DISTANCE);
    json_builder_add_int_value(builder, store->getSettingDistance());
    json_builder_set_member_name(builder, PRESSURE);
    json_builder_add_int_value(builder, store->getSettingPressure());
    json_builder_set_member_name(builder, ALERT);
    json_builder_add_int_value(builder, store->getSettingAlert());
    json_builder_set_member_name(builder, SEE_LEVEL);
    json_builder_add_double_value(builder, store->getDataSLP());
    json_builder_set_member_name(builder, AUTO_REFRESH);
    json_builder_add_int_value(builder, store->getAutoRefresh());
    json_builder_end_object(builder);
    JsonNode* root = json_builder_get_root(builder);
    g_object_unref(builder);
    if (!root) {
        return "";
    }
    JsonGenerator* generator = json_generator_new();
    json_generator_set_root(generator, root);
    gchar* text = json_generator_to_data(generator, nullptr);
    std::string value = text ? text : "";
    g_free(text);
    g_object_unref(generator);
    json_node_unref(root);
    return value;
}

bool ZentrelBackupValue::apply(const char* value) {
    if (!value) {
        ZLOGE("Invalid input.");
        return false;
    }
    JsonParser* parser = json_parser_new();
    if (!parser) {
        ZLOGE("JsonPaser creation failed.");
        return false;
    }
    JsonObject* object = _parseObject(value, parser);
    bool applied = false;
    if (object) {
        _logRead(object);
        applied = _write(_validMembers(object));
    }
    g_object_unref(parser);
    return applied;
}

JsonObject* ZentrelBackupValue::_parseObject(const char* value, JsonParser* parser) {
    if (!ostra_json_within_limits(value, strlen(value), kMaxValueBytes, kMaxValueDepth)) {
        ZLOGE("restored value refused: longer than %zu bytes or nested deeper than %d levels",
              kMaxValueBytes, kMaxValueDepth);
        return nullptr;
    }
    GError* error = nullptr;
    if (!json_parser_load_from_data(parser, value, -1, &error)) {
        ZLOGE("restored value is not JSON: %s", error ? error->message : "?");
        g_clear_error(&error);
        return nullptr;
    }
    JsonNode* root = json_parser_get_root(parser);
    if (!root || !JSON_NODE_HOLDS_OBJECT(root)) {
        ZLOGE("restored value is not a JSON object");
        return nullptr;
    }
    return json_node_get_object(root);
}

// The members as read, an absent one as 0.
void ZentrelBackupValue::_logRead(JsonObject* object) {
    ZLOGI("%d, %d, %d, %d, %lf, %d",
          static_cast<int>(json_object_get_int_member_with_default(object, MANUAL, 0)),
          static_cast<int>(json_object_get_int_member_with_default(object, DISTANCE, 0)),
          static_cast<int>(json_object_get_int_member_with_default(object, PRESSURE, 0)),
          static_cast<int>(json_object_get_int_member_with_default(object, ALERT, 0)),
          json_object_get_double_member_with_default(object, SEE_LEVEL, 0.0),
          static_cast<int>(json_object_get_int_member_with_default(object, AUTO_REFRESH, 0)));
}

ZentrelBackupValue::Members ZentrelBackupValue::_validMembers(JsonObject* object) {
    Members members;
    members.manual = _validInt(object, MANUAL, 0, 1);
    members.distance = _validInt(object, DISTANCE, 0, 1);
    members.pressure = _validInt(object, PRESSURE, 0, 2);
    members.alert = _validInt(object, ALERT, 0, 1);
    members.seeLevel = _validSeeLevel(object);
    members.autoRefresh = _validInt(object, AUTO_REFRESH, 0, 1);
    return members;
}

std::optional<int> ZentrelBackupValue::_validInt(JsonObject* object, const char* name, int min,
                                                 int max) {
    JsonNode* node = json_object_get_member(object, name);
    if (!node) {
        ZLOGW("restored %s refused: absent", name);
        return std::nullopt;
    }
    if (!holdsType(node, G_TYPE_INT64)) {
        ZLOGW("restored %s refused: not an integer", name);
        return std::nullopt;
    }
    gint64 value = json_node_get_int(node);
    if (value < min || value > max) {
        ZLOGW("restored %s refused: %lld is not within %d to %d", name,
              static_cast<long long>(value), min, max);
        return std::nullopt;
    }
    return static_cast<int>(value);
}

// A number of either JSON form: 1013 is as good an SLP as 1013.0.
std::optional<double> ZentrelBackupValue::_validSeeLevel(JsonObject* object) {
    JsonNode* node = json_object_get_member(object, SEE_LEVEL);
    if (!node) {
        ZLOGW("restored %s refused: absent", SEE_LEVEL);
        return std::nullopt;
    }
    if (!holdsType(node, G_TYPE_DOUBLE) && !holdsType(node, G_TYPE_INT64)) {
        ZLOGW("restored %s refused: not a number", SEE_LEVEL);
        return std::nullopt;
    }
    double value = json_node_get_double(node);
    if (!(value >= kSeeLevelMinHpa && value <= kSeeLevelMaxHpa)) {
        ZLOGW("restored %s refused: %lf hPa is not within %.1f to %.1f", SEE_LEVEL, value,
              kSeeLevelMinHpa, kSeeLevelMaxHpa);
        return std::nullopt;
    }
    return value;
}

bool ZentrelBackupValue::_write(const Members& members) {
    ZentrelStorageMgr* store = ZentrelStorageMgr::getInstance();
    store->initStorage();
    bool applied = false;
    auto save = [&](const std::optional<int>& value, void (ZentrelStorageMgr::*setter)(int)) {
        if (value) {
            (store->*setter)(*value);
            applied = true;
        }
    };
    save(members.manual, &ZentrelStorageMgr::saveSettingManualMode);
    save(members.distance, &ZentrelStorageMgr::saveSettingDistance);
    save(members.pressure, &ZentrelStorageMgr::saveSettingPressure);
    save(members.alert, &ZentrelStorageMgr::saveSettingAlert);
    save(members.autoRefresh, &ZentrelStorageMgr::saveAutoRefresh);
    if (members.manual == 1 && members.seeLevel) {
        ZLOGI("Manual SLP : %lf", *members.seeLevel);
        store->saveDataSLP(*members.seeLevel);
        store->addDataSLPHistory(static_cast<long long>(time(nullptr)), *members.seeLevel);
    }
    if (applied) {
        // Raised last, so a watcher never sees half a restore; dropped first
        // so the write is a change even when an earlier restore left it raised.
        store->saveRestoreComplete(0);
        store->saveRestoreComplete(1);
    }
    return applied;
}
