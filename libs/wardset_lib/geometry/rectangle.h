#pragma once

#include <cstdint>

#include "geometry/polygon.h"

// An axis-parallel rectangle in scene units, kept by value where a polygon
// would cost two allocations.
struct Rectangle {
    int32_t minX;
    int32_t maxX;
    int32_t minY;
    int32_t maxY;

    // The rectangle polygon (minX, minY), (minX, maxY), (maxX, maxY), (maxX, minY).
    Polygon toPolygon() const { return Polygon(minX, maxX, minY, maxY); }
};
