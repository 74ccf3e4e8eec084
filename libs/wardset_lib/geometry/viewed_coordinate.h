#pragma once

#include "geometry/point.h"

namespace utils {

// The scene point as seen in the image of a camera mounted with the given
// rotation in degrees: 90 gives (-y, x), 180 the half turn (-x, -y), 270
// (y, -x); any other rotation leaves the point unchanged. Results beyond the
// int16 range saturate.
Point convertViewedCoordinate(Point point, int rotation);

}  // namespace utils
