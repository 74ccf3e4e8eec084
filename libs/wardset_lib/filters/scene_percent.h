#pragma once

#include <cstdint>

namespace filters {

// A share of the scene's full extent (8192 units) in scene units:
// round(2 × percent / 100 × 4096), halves away from zero.
int32_t percentOfSceneToUnits(int percent);

}  // namespace filters
