#pragma once

#include <string>
#include <utility>

// Conversions between numbers and texts. The text-to-number ones return the
// value and whether the text was acceptable.
class Convert {
  public:
    Convert() = delete;

    // Acceptable: a non-empty text with a digit that strtof consumes whole.
    static std::pair<float, bool> stringToFloat(const char* text);
    // Acceptable: a non-empty text with a digit; the value is strtol of its start.
    static std::pair<int, bool> stringToInt(const char* text);
    static std::string intToString(int value);
    // Fixed notation with the given number of digits after the point.
    static std::string doubleToString(double value, int digits);
};
