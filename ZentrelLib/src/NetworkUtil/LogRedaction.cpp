#include "LogRedaction.h"

#include <algorithm>
#include <cctype>

namespace {
const char* const kSecretParts[] = {"key", "token", "secret", "password", "signature", "auth"};
const char* const kMask = "***";

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
}

bool EndsValue(char c) {
    return c == '&' || c == '#' || c == ';' || c == '\'' || c == '"' ||
           std::isspace(static_cast<unsigned char>(c));
}
}  // namespace

namespace LogRedaction {

bool IsSecretName(const std::string& name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* part : kSecretParts) {
        if (lower.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string RedactText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t nameStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        out += c;
        if (c != '=' || nameStart >= i || !IsSecretName(text.substr(nameStart, i - nameStart))) {
            if (!IsNameChar(c)) {
                nameStart = i + 1;
            }
            continue;
        }
        size_t end = i + 1;
        while (end < text.size() && !EndsValue(text[end])) {
            ++end;
        }
        if (end > i + 1) {
            out += kMask;
        }
        i = end - 1;
        nameStart = end;
    }
    return out;
}

std::string RedactHeaderLine(const std::string& line) {
    size_t colon = line.find(':');
    if (colon == std::string::npos || !IsSecretName(line.substr(0, colon))) {
        return RedactText(line);
    }
    return line.substr(0, colon + 1) + " " + kMask;
}

}  // namespace LogRedaction
