#include "geometry/point.h"

#include <algorithm>
#include <limits>

int32_t Point::squareDistance(const Point& other) const {
    const int64_t dx = x - other.x;
    const int64_t dy = y - other.y;
    return static_cast<int32_t>(
        std::min<int64_t>(dx * dx + dy * dy, std::numeric_limits<int32_t>::max()));
}

int16_t toCoordinate(int64_t value) {
    return static_cast<int16_t>(std::clamp<int64_t>(value, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}
