#include "geometry/point.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

namespace {

TEST(Point, SquareDistanceIsExactAcrossTheSceneAndSaturatesBeyond) {
    EXPECT_EQ((Point{3, -4}.squareDistance(Point{0, 0})), 25);
    EXPECT_EQ((Point{-4096, -4096}.squareDistance(Point{4096, 4096})), 2 * 8192 * 8192);
    EXPECT_EQ((Point{-32768, -32768}.squareDistance(Point{32767, 32767})), INT32_MAX);
}

TEST(Point, SetsOrderByYThenX) {
    const std::set<Point> points{{5, 1}, {-3, 2}, {0, 1}, {9, -7}};
    const std::vector<Point> ordered(points.begin(), points.end());
    const std::vector<Point> expected{{9, -7}, {0, 1}, {5, 1}, {-3, 2}};
    EXPECT_EQ(ordered, expected);
}

}  // namespace
