#include "CloudRecordList.h"

#include <string>

#include "ostra/json_guard.h"

namespace ostra {

namespace {

constexpr const char* kRecordsMember = "records";
// A record list is an object holding an array of flat records; the bounds
// keep a hostile file from exhausting memory or json-glib's stack.
constexpr size_t kMaxFileBytes = 16 << 20;
constexpr int kMaxDepth = 16;

void addOptional(JsonBuilder* builder, const char* name, const std::optional<std::string>& value) {
    if (!value) {
        return;
    }
    json_builder_set_member_name(builder, name);
    json_builder_add_string_value(builder, value->c_str());
}

// An absent member is fine; a present one must be a string.
bool readOptional(JsonObject* object, const char* name, std::optional<std::string>* out) {
    JsonNode* node = json_object_get_member(object, name);
    if (!node) {
        return true;
    }
    if (!JSON_NODE_HOLDS_VALUE(node) || json_node_get_value_type(node) != G_TYPE_STRING) {
        return false;
    }
    *out = json_node_get_string(node);
    return true;
}

bool recordFromJson(JsonNode* node, korvane_cloud_record_s* record) {
    if (!JSON_NODE_HOLDS_OBJECT(node)) {
        return false;
    }
    JsonObject* object = json_node_get_object(node);
    return readOptional(object, "key", &record->key) && record->key &&
           readOptional(object, "date", &record->date) &&
           readOptional(object, "value", &record->value);
}

}  // namespace

JsonNode* CloudRecordList::toJson(const korvane_cloud_list_s& list) {
    JsonBuilder* builder = json_builder_new();
    json_builder_begin_array(builder);
    for (const auto& record : list.records) {
        json_builder_begin_object(builder);
        addOptional(builder, "key", record->key);
        addOptional(builder, "date", record->date);
        addOptional(builder, "value", record->value);
        json_builder_end_object(builder);
    }
    json_builder_end_array(builder);
    JsonNode* node = json_builder_get_root(builder);
    g_object_unref(builder);
    return node;
}

bool CloudRecordList::fromJson(JsonNode* node, korvane_cloud_list_s* list, std::string* error) {
    if (!node || !JSON_NODE_HOLDS_ARRAY(node)) {
        *error = "the records are not a JSON array";
        return false;
    }
    JsonArray* array = json_node_get_array(node);
    korvane_cloud_list_s parsed;
    for (guint i = 0; i < json_array_get_length(array); ++i) {
        auto record = std::make_unique<korvane_cloud_record_s>();
        if (!recordFromJson(json_array_get_element(array, i), record.get())) {
            *error = "record " + std::to_string(i + 1) +
                     " is not an object with a string key (and string date and value)";
            return false;
        }
        parsed.records.push_back(std::move(record));
    }
    list->records = std::move(parsed.records);
    list->cursor = 0;
    return true;
}

bool CloudRecordList::writeFile(const korvane_cloud_list_s& list, const std::string& path,
                                std::string* error) {
    JsonObject* root = json_object_new();
    json_object_set_member(root, kRecordsMember, toJson(list));
    JsonNode* node = json_node_new(JSON_NODE_OBJECT);
    json_node_take_object(node, root);
    JsonGenerator* generator = json_generator_new();
    json_generator_set_root(generator, node);
    json_generator_set_pretty(generator, TRUE);
    gsize length = 0;
    gchar* text = json_generator_to_data(generator, &length);
    GError* failure = nullptr;
    bool ok = g_file_set_contents(path.c_str(), text, static_cast<gssize>(length), &failure);
    if (!ok) {
        *error = failure ? failure->message : "cannot write " + path;
        g_clear_error(&failure);
    }
    g_free(text);
    g_object_unref(generator);
    json_node_unref(node);
    return ok;
}

bool CloudRecordList::readFile(const std::string& path, korvane_cloud_list_s* list,
                               std::string* error) {
    gchar* text = nullptr;
    gsize length = 0;
    GError* failure = nullptr;
    if (!g_file_get_contents(path.c_str(), &text, &length, &failure)) {
        *error = failure ? failure->message : "cannot read " + path;
        g_clear_error(&failure);
        return false;
    }
    bool ok = readText(text, length, list, error);
    g_free(text);
    return ok;
}

bool CloudRecordList::readText(const char* text, size_t length, korvane_cloud_list_s* list,
                               std::string* error) {
    if (!ostra_json_within_limits(text, length, kMaxFileBytes, kMaxDepth)) {
        *error = "larger than " + std::to_string(kMaxFileBytes >> 20) +
                 " MiB or nested deeper than " + std::to_string(kMaxDepth) + " levels";
        return false;
    }
    JsonParser* parser = json_parser_new();
    GError* failure = nullptr;
    if (!json_parser_load_from_data(parser, text, static_cast<gssize>(length), &failure)) {
        *error = failure ? failure->message : "not JSON";
        g_clear_error(&failure);
        g_object_unref(parser);
        return false;
    }
    JsonNode* root = json_parser_get_root(parser);
    if (!root || !JSON_NODE_HOLDS_OBJECT(root) ||
        !json_object_has_member(json_node_get_object(root), kRecordsMember)) {
        *error = "not a record list (a JSON object with a \"records\" array)";
        g_object_unref(parser);
        return false;
    }
    bool ok =
        fromJson(json_object_get_member(json_node_get_object(root), kRecordsMember), list, error);
    g_object_unref(parser);
    return ok;
}

}  // namespace ostra
