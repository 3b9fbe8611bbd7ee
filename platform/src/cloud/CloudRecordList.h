// The cloud client's record lists and their JSON form, shared by the client
// library and the service side (ostractl cloud).
#pragma once

#include <json-glib/json-glib.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct korvane_cloud_record_s {
    std::optional<std::string> key;
    std::optional<std::string> date;
    std::optional<std::string> value;
};

struct korvane_cloud_list_s {
    std::vector<std::unique_ptr<korvane_cloud_record_s>> records;
    size_t cursor = 0;
};

namespace ostra {

class CloudRecordList {
  public:
    // [{"key": ..., "date": ..., "value": ...}, ...]; unset fields are left out.
    static JsonNode* toJson(const korvane_cloud_list_s& list);
    // False, with the reason, when the node is not such an array: every record
    // an object with a string key and, when present, a string date and value.
    static bool fromJson(JsonNode* node, korvane_cloud_list_s* list, std::string* error);

    // The file form: {"records": [...]}, written atomically.
    static bool writeFile(const korvane_cloud_list_s& list, const std::string& path,
                          std::string* error);
    static bool readFile(const std::string& path, korvane_cloud_list_s* list, std::string* error);
    // The file form from length bytes of text.
    static bool readText(const char* text, size_t length, korvane_cloud_list_s* list,
                         std::string* error);
};

}  // namespace ostra
