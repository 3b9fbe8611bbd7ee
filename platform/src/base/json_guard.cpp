#include "ostra/json_guard.h"

extern "C" bool ostra_json_within_limits(const char* data, size_t length, size_t max_bytes,
                                         int max_depth) {
    if (length > max_bytes || (length > 0 && !data)) {
        return false;
    }
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < length; ++i) {
        char c = data[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > max_depth) {
                return false;
            }
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return true;
}
