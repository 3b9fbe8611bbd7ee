// Small text operations shared by the providers, parsers and pages.
#pragma once

#include <string>

class StringUtil {
  public:
    StringUtil() = default;
    virtual ~StringUtil() = default;

    // Replaces the first occurrence of from; str unchanged when from is absent.
    static std::string StringReplace(std::string str, std::string from, std::string to);
    // Non-empty and only digits, '.' and ','.
    static bool IsValidDoubleType(std::string s);
    // Non-empty and only digits.
    static bool IsValidIntegerType(std::string s);
    static constexpr int MAX_PRECISION = 20;
    // Fixed notation with precision digits (at most MAX_PRECISION) when
    // precision > 0, else 6; NaN prints as 0.0.
    static std::string DoubleToString(double value, int precision);
    // 0.0 (and a debug line) when s does not start with a number.
    static double StringToDouble(const std::string& s);
    static std::string GetColorTagedString(int r, int g, int b, int a, int fontSize,
                                           const std::string& text, std::string font);
};
