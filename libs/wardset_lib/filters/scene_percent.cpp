#include "filters/scene_percent.h"

#include <cmath>

#include "geometry/point.h"

namespace filters {

int32_t percentOfSceneToUnits(int percent) {
    return static_cast<int32_t>(std::lround(2.0 * percent / 100.0 * kSceneLimit));
}

}  // namespace filters
