#include "StringUtil.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <sstream>

#include "ZentrelLog.h"

std::string StringUtil::StringReplace(std::string str, std::string from, std::string to) {
    size_t pos = str.find(from);
    if (pos == std::string::npos) {
        return str;
    }
    return str.replace(pos, from.length(), to);
}

bool StringUtil::IsValidDoubleType(std::string s) {
    return !s.empty() && s.find_first_not_of("01234567890.,") == std::string::npos;
}

bool StringUtil::IsValidIntegerType(std::string s) {
    return !s.empty() && s.find_first_not_of("01234567890") == std::string::npos;
}

std::string StringUtil::DoubleToString(double value, int precision) {
    // The stream formats on the stack in a buffer as long as the precision;
    // past a double's 17 significant digits more say nothing anyway.
    precision = std::min(precision, MAX_PRECISION);
    std::ostringstream out;
    out << std::fixed << std::setprecision(precision > 0 ? precision : 6)
        << (std::isnan(value) ? 0.0 : value);
    return out.str();
}

double StringUtil::StringToDouble(const std::string& s) {
    std::istringstream in(s);
    double value = 0.0;
    if (!(in >> value)) {
        ZLOGD("Invalid string");
    }
    return value;
}

std::string StringUtil::GetColorTagedString(int r, int g, int b, int a, int fontSize,
                                            const std::string& text, std::string font) {
    char tag[256];
    if (!font.empty()) {
        snprintf(tag, sizeof(tag), "<color=#%02x%02x%02x%02x font_size=%d font=%s>", r, g, b, a,
                 fontSize, font.c_str());
    } else {
        snprintf(tag, sizeof(tag), "<color=#%02x%02x%02x%02x font_size=%d>", r, g, b, a, fontSize);
    }
    return std::string(tag) + text + "</color>";
}
