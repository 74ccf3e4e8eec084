#include <gtest/gtest.h>

#include <vector>

#include "gm_geometry.h"

namespace {

using Points = std::vector<gm_point_t>;

int countOf(const Points& points) {
    return static_cast<int>(points.size());
}

int inside(gm_point_t point, const Points& polygon) {
    return gm_inside_p(point, polygon.data(), countOf(polygon));
}

int polygonsIntersect(const Points& a, const Points& b) {
    return gm_intersect_pp(a.data(), countOf(a), b.data(), countOf(b));
}

int polygonMeetsLine(const Points& polygon, const Points& line) {
    return gm_intersect_ps(polygon.data(), countOf(polygon), line.data(), countOf(line));
}

int linesIntersect(const Points& a, const Points& b) {
    return gm_intersect_ss(a.data(), countOf(a), b.data(), countOf(b));
}

// A U open to the top: the notch x 3..7, y 4..10 is outside.
const Points kU{{0, 0}, {10, 0}, {10, 10}, {7, 10}, {7, 4}, {3, 4}, {3, 10}, {0, 10}};

TEST(GmInside, FollowsTheEvenOddRuleOnAConcavePolygon) {
    EXPECT_EQ(inside({2, 8}, kU), 1);
    EXPECT_EQ(inside({8, 8}, kU), 1);
    EXPECT_EQ(inside({5, 2}, kU), 1);
    EXPECT_EQ(inside({5, 8}, kU), 0);   // in the notch: the ray crosses two edges
    EXPECT_EQ(inside({-1, 4}, kU), 0);  // the ray passes through the notch's corners
    EXPECT_EQ(inside({11, 5}, kU), 0);
}

TEST(GmInside, CountsBorderPointsAsInside) {
    EXPECT_EQ(inside({0, 0}, kU), 1);
    EXPECT_EQ(inside({10, 5}, kU), 1);
    EXPECT_EQ(inside({5, 4}, kU), 1);
    EXPECT_EQ(inside({5, 10}, kU), 0);  // the open side of the notch is no border
    EXPECT_EQ(gm_inside_p({0, 0}, kU.data(), 2), GM_ERR_ARGUMENT);
    EXPECT_EQ(gm_inside_p({0, 0}, nullptr, 3), GM_ERR_ARGUMENT);
}

TEST(GmIntersectPolygons, DetectsCrossingTouchingAndContainment) {
    const Points square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(polygonsIntersect(square, {{5, 5}, {15, 5}, {15, 15}, {5, 15}}), 1);
    EXPECT_EQ(polygonsIntersect(square, {{10, 10}, {20, 10}, {20, 20}}), 1);  // one shared corner
    EXPECT_EQ(polygonsIntersect(square, {{2, 2}, {4, 2}, {4, 4}}), 1);        // inside
    EXPECT_EQ(polygonsIntersect({{2, 2}, {4, 2}, {4, 4}}, square), 1);        // around
    EXPECT_EQ(polygonsIntersect(square, {{11, 0}, {20, 0}, {20, 10}}), 0);
    EXPECT_EQ(polygonsIntersect(kU, {{4, 6}, {6, 6}, {5, 9}}), 0);  // in the notch
    EXPECT_EQ(gm_intersect_pp(square.data(), 4, square.data(), 2), GM_ERR_ARGUMENT);
}

TEST(GmIntersectPolygonAndLine, DetectsCrossingTouchingAndALineInside) {
    const Points square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(polygonMeetsLine(square, {{-5, 5}, {15, 5}}), 1);
    EXPECT_EQ(polygonMeetsLine(square, {{-5, 10}, {-1, 10}, {0, 10}}), 1);  // ends on the border
    EXPECT_EQ(polygonMeetsLine(square, {{2, 2}, {8, 8}}), 1);               // wholly inside
    EXPECT_EQ(polygonMeetsLine(square, {{-5, -5}, {-5, 15}, {-1, 15}}), 0);
    EXPECT_EQ(polygonMeetsLine(kU, {{5, 5}, {5, 12}}), 0);  // through the notch
    EXPECT_EQ(polygonMeetsLine(square, {{5, 5}}), GM_ERR_ARGUMENT);
}

TEST(GmIntersectLines, DetectsCrossingTouchingAndCollinearOverlap) {
    EXPECT_EQ(linesIntersect({{0, 0}, {10, 10}}, {{0, 10}, {10, 0}}), 1);
    EXPECT_EQ(linesIntersect({{0, 0}, {10, 0}}, {{10, 0}, {10, 5}}), 1);
    EXPECT_EQ(linesIntersect({{0, 0}, {10, 0}}, {{5, 0}, {15, 0}}), 1);
    EXPECT_EQ(linesIntersect({{0, 0}, {10, 0}}, {{11, 0}, {15, 0}}), 0);
    EXPECT_EQ(linesIntersect({{0, 0}, {10, 10}}, {{1, 0}, {11, 10}}), 0);
    // The second segment of a polyline crosses; the line is not closed.
    EXPECT_EQ(linesIntersect({{0, 0}, {10, 0}, {10, 10}}, {{5, 5}, {15, 5}}), 1);
    EXPECT_EQ(linesIntersect({{0, 0}, {10, 0}, {10, 10}}, {{1, 5}, {4, 8}}), 0);
    EXPECT_EQ(linesIntersect({{0, 0}}, {{0, 0}, {1, 1}}), GM_ERR_ARGUMENT);
}

TEST(GmPredicates, UseExactArithmeticAtTheCoordinateExtremes) {
    const Points big{{-32768, -32768}, {32767, -32768}, {32767, 32767}, {-32768, 32767}};
    EXPECT_EQ(inside({32767, 0}, big), 1);
    EXPECT_EQ(inside({0, 0}, big), 1);
    EXPECT_EQ(
        linesIntersect({{-32768, -32768}, {32767, 32767}}, {{-32768, 32767}, {32767, -32768}}), 1);
    EXPECT_EQ(
        linesIntersect({{-32768, -32768}, {32767, 32766}}, {{-32768, -32767}, {32767, 32767}}), 0);
}

}  // namespace
