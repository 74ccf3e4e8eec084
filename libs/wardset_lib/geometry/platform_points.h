#pragma once

// Hands vertex arrays to the platform geometry library without conversion:
// Point and gm_point_t have the same layout. Private to this folder.

#include <gm_geometry.h>

#include <cstddef>
#include <type_traits>
#include <vector>

#include "geometry/point.h"

static_assert(std::is_standard_layout<Point>::value && sizeof(Point) == sizeof(gm_point_t) &&
                  offsetof(Point, x) == offsetof(gm_point_t, x) &&
                  offsetof(Point, y) == offsetof(gm_point_t, y),
              "Point must be laid out as the geometry library's point");

inline const gm_point_t* toPlatform(const std::vector<Point>& points) {
    return reinterpret_cast<const gm_point_t*>(points.data());
}

inline const Point* fromPlatform(const gm_point_t* points) {
    return reinterpret_cast<const Point*>(points);
}

inline gm_point_t toPlatform(Point point) {
    return {point.x, point.y};
}

inline Point fromPlatform(gm_point_t point) {
    return {point.x, point.y};
}

inline int countOf(const std::vector<Point>& points) {
    return static_cast<int>(points.size());
}
