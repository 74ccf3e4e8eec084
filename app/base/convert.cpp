#include "convert.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool hasDigit(const char* text) {
    return std::strpbrk(text, "0123456789") != nullptr;
}

}  // namespace

std::pair<float, bool> Convert::stringToFloat(const char* text) {
    if (text == nullptr || *text == '\0' || !hasDigit(text)) {
        return {0.0f, false};
    }
    char* end = nullptr;
    const float value = std::strtof(text, &end);
    return {value, *end == '\0'};
}

std::pair<int, bool> Convert::stringToInt(const char* text) {
    if (text == nullptr || *text == '\0' || !hasDigit(text)) {
        return {0, false};
    }
    // strtol returns a long, which is wider than int on 64-bit hosts only;
    // clamp so that both builds read the same value.
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) {
        return {INT_MAX, true};
    }
    if (value < INT_MIN) {
        return {INT_MIN, true};
    }
    return {static_cast<int>(value), true};
}

std::string Convert::intToString(int value) {
    return std::to_string(value);
}

std::string Convert::doubleToString(double value, int digits) {
    const int size = std::snprintf(nullptr, 0, "%.*f", digits, value);
    std::string text(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(&text[0], text.size(), "%.*f", digits, value);
    text.resize(static_cast<size_t>(size));
    return text;
}
