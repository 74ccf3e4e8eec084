#pragma once

#include <cstdint>

// The scene spans -kSceneLimit .. kSceneLimit on both axes: x grows to the
// right, y upwards, the origin is the image centre.
constexpr int kSceneLimit = 4096;

// A point in scene coordinates, laid out as two consecutive int16 values so
// that vertex arrays go to the geometry library as they are.
struct Point {
    int16_t x = 0;
    int16_t y = 0;

    // (x - other.x)² + (y - other.y)²; saturates at INT32_MAX, which only
    // points far outside the scene reach.
    int32_t squareDistance(const Point& other) const;
};

// Sets of points are ordered by y first, then by x.
inline bool operator<(const Point& a, const Point& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
}
inline bool operator==(const Point& a, const Point& b) {
    return a.x == b.x && a.y == b.y;
}
inline bool operator!=(const Point& a, const Point& b) {
    return !(a == b);
}

// A computed coordinate as int16, saturated at the type's limits.
int16_t toCoordinate(int64_t value);
