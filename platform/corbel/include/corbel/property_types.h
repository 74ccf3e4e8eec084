#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>

namespace corbel {

// The value types a property or signal argument may have, and their D-Bus
// type characters.
using Value = std::variant<bool, int32_t, uint32_t, int64_t, double, std::string>;

template <typename T>
constexpr char bus_signature() {
    if constexpr (std::is_same_v<T, bool>) {
        return 'b';
    } else if constexpr (std::is_same_v<T, int32_t>) {
        return 'i';
    } else if constexpr (std::is_same_v<T, uint32_t>) {
        return 'u';
    } else if constexpr (std::is_same_v<T, int64_t>) {
        return 'x';
    } else if constexpr (std::is_same_v<T, double>) {
        return 'd';
    } else {
        static_assert(std::is_same_v<T, std::string>, "not a property or signal type");
        return 's';
    }
}

// An inclusive range of allowed values.
template <typename T>
struct Range {
    T min;
    T max;
};

}  // namespace corbel
