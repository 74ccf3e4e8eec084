#pragma once

// The guards the benchmarks and the detection replay run: built as the
// product's factory builds them from a profile, with a size filter, a swaying
// filter and the 3 s lifetime filter.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dwellwatch/dwellwatch_guard.h"
#include "filters/object_lifetime_filter.h"
#include "filters/size_filter_percent.h"
#include "filters/swaying_filter.h"
#include "geometry/polygon.h"
#include "guard/ptz_state.h"

namespace benchguards {

constexpr int64_t kSecond = 1000000;  // microseconds
// Profiles 1 to 3 watch the whole view, its lower left part and an entrance;
// profile 4 is the demo's square in the middle.
constexpr int kProfileCount = 4;

inline std::unique_ptr<DwellwatchGuard> productGuard(const Polygon& area, int uid,
                                                     StateEventProducerI& producer,
                                                     int64_t individualTime, int64_t groupTime) {
    auto guard = std::make_unique<DwellwatchGuard>(
        area, "Profile " + std::to_string(uid), uid, 1, 3 * kSecond, "Dwellwatch", producer,
        individualTime, groupTime, 0, PtzState::kNoPreset,
        std::make_unique<SwayingFilter>(5, uid, true));
    guard->addExclusionFilter(std::make_unique<SizeFilterPercent>(5, 5, true));
    guard->addExclusionFilter(std::make_unique<ObjectLifetimeFilter>(3 * kSecond, true));
    return guard;
}

inline std::unique_ptr<DwellwatchGuard> profileGuard(int uid, StateEventProducerI& producer) {
    switch (uid) {
        case 1: {
            auto guard =
                productGuard(Polygon(-3900, 3900, -3900, 3900), 1, producer, 120 * kSecond, 0);
            guard->addExcludeArea(Polygon(-500, 500, -500, 500));
            return guard;
        }
        case 2:
            return productGuard(Polygon(-4000, 0, -4000, 1000), 2, producer, 10 * kSecond, 0);
        case 3: {
            const std::vector<Point> entrance = {{-1000, 0},    {-600, 2500}, {600, 3200},
                                                 {2800, 2600},  {3600, 800},  {3000, -1500},
                                                 {1200, -3000}, {-800, -2800}};
            auto guard = productGuard(Polygon(entrance.data(), static_cast<int>(entrance.size())),
                                      3, producer, 0, 20 * kSecond);
            guard->addExcludeArea(Polygon(1500, 2600, 1200, 2200));
            return guard;
        }
        default: {
            auto guard = std::make_unique<DwellwatchGuard>(
                Polygon(-2048, 2048, -2048, 2048), "Entrance", uid, 1, 3 * kSecond, "Dwellwatch",
                producer, 8 * kSecond, 0, 0, PtzState::kNoPreset,
                std::make_unique<SwayingFilter>(5, uid, true));
            guard->addExclusionFilter(std::make_unique<SizeFilterPercent>(5, 5, false));
            guard->addExclusionFilter(std::make_unique<ObjectLifetimeFilter>(3 * kSecond, true));
            return guard;
        }
    }
}

}  // namespace benchguards
