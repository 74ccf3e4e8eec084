#include "geometry/polyline.h"

#include <gtest/gtest.h>

#include <vector>

#include "geometry/polygon.h"

namespace {

TEST(Polyline, KeepsItsPointsAsGiven) {
    const std::vector<Point> points{{0, 0}, {0, 0}, {10, -3}};
    EXPECT_EQ(Polyline(points.data(), 3).getPoints(), points);
    EXPECT_TRUE(Polyline(nullptr, 4).getPoints().empty());
}

TEST(Polyline, IntersectsPolygonsAndOtherLines) {
    const Polyline fence(Point{-50, 0}, Point{50, 0});
    EXPECT_TRUE(fence.doesIntersect(Polygon(-10, 10, -10, 10)));
    EXPECT_FALSE(fence.doesIntersect(Polygon(-10, 10, 5, 10)));
    EXPECT_TRUE(fence.doesIntersect(Polyline(Point{0, -5}, Point{0, 5})));
    EXPECT_FALSE(fence.doesIntersect(Polyline(Point{0, 1}, Point{0, 5})));
}

TEST(Polyline, ALineOfOnePointIntersectsNothing) {
    const Point single{0, 0};
    const Polyline dot(&single, 1);
    EXPECT_FALSE(dot.doesIntersect(Polygon(-10, 10, -10, 10)));
    EXPECT_FALSE(dot.doesIntersect(Polyline(Point{-5, 0}, Point{5, 0})));
}

}  // namespace
