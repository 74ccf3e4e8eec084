#pragma once

#include <chrono>
#include <functional>

namespace thermal {

// Where the control blocks read the time: the steady clock, or a clock a test
// moves by hand.
using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

inline SteadyClock system_steady_clock() {
    return [] { return std::chrono::steady_clock::now(); };
}

}  // namespace thermal
