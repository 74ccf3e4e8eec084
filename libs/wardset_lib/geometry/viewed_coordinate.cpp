#include "geometry/viewed_coordinate.h"

namespace utils {

Point convertViewedCoordinate(Point point, int rotation) {
    const int32_t x = point.x;
    const int32_t y = point.y;
    switch (rotation) {
        case 90:
            return {toCoordinate(-y), toCoordinate(x)};
        case 180:
            return {toCoordinate(-x), toCoordinate(-y)};
        case 270:
            return {toCoordinate(y), toCoordinate(-x)};
        default:
            return point;
    }
}

}  // namespace utils
