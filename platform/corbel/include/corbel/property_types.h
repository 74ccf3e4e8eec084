#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace corbel {

// The value types a property or signal argument may have, and their D-Bus
// type characters.
using Value = std::variant<bool, int32_t, uint32_t, int64_t, double, std::string>;

template <typename T>
struct BusType;
template <>
struct BusType<bool> {
    static constexpr char signature = 'b';
};
template <>
struct BusType<int32_t> {
    static constexpr char signature = 'i';
};
template <>
struct BusType<uint32_t> {
    static constexpr char signature = 'u';
};
template <>
struct BusType<int64_t> {
    static constexpr char signature = 'x';
};
template <>
struct BusType<double> {
    static constexpr char signature = 'd';
};
template <>
struct BusType<std::string> {
    static constexpr char signature = 's';
};

// An inclusive range of allowed values.
template <typename T>
struct Range {
    T min;
    T max;
};

}  // namespace corbel
