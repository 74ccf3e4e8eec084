#include <gtest/gtest.h>

#include <vector>

#include "gm_geometry.h"

namespace {

using Points = std::vector<gm_point_t>;

int countOf(const Points& points) {
    return static_cast<int>(points.size());
}

TEST(GmCentroid, IsTheAreaCentroidRoundedToTheNearestPoint) {
    const Points rectangle{{-10, -4}, {30, -4}, {30, 20}, {-10, 20}};
    gm_point_t centroid{};
    ASSERT_EQ(gm_centroid_p(&centroid, rectangle.data(), countOf(rectangle)), GM_OK);
    EXPECT_EQ(centroid.x, 10);
    EXPECT_EQ(centroid.y, 8);

    // An L shape of a 60x20 bar (centre (30, 10)) and a 20x40 post (centre
    // (10, 40)): the area centroid is (22, 22), the vertex mean would be (26.7, 26.7).
    const Points lShape{{0, 0}, {60, 0}, {60, 20}, {20, 20}, {20, 60}, {0, 60}};
    ASSERT_EQ(gm_centroid_p(&centroid, lShape.data(), countOf(lShape)), GM_OK);
    EXPECT_EQ(centroid.x, 22);
    EXPECT_EQ(centroid.y, 22);
}

TEST(GmCentroid, IsIndependentOfWindingDirection) {
    const Points clockwise{{0, 0}, {0, 9}, {9, 0}};
    gm_point_t centroid{};
    ASSERT_EQ(gm_centroid_p(&centroid, clockwise.data(), countOf(clockwise)), GM_OK);
    EXPECT_EQ(centroid.x, 3);
    EXPECT_EQ(centroid.y, 3);
}

TEST(GmCentroid, FailsForPolygonsWithoutAreaAndBadArguments) {
    const Points collinear{{0, 0}, {5, 5}, {10, 10}};
    gm_point_t centroid{7, 7};
    EXPECT_EQ(gm_centroid_p(&centroid, collinear.data(), countOf(collinear)), GM_ERR_DEGENERATE);
    EXPECT_EQ(centroid.x, 7);
    EXPECT_EQ(gm_centroid_p(&centroid, collinear.data(), 2), GM_ERR_ARGUMENT);
    EXPECT_EQ(gm_centroid_p(nullptr, collinear.data(), 3), GM_ERR_ARGUMENT);
    EXPECT_EQ(gm_centroid_p(&centroid, nullptr, 3), GM_ERR_ARGUMENT);
}

TEST(GmArea, IsTheEnclosedAreaWhateverTheWinding) {
    const Points square{{-5, -5}, {5, -5}, {5, 5}, {-5, 5}};
    const Points clockwise{{-5, -5}, {-5, 5}, {5, 5}, {5, -5}};
    int area = -1;
    ASSERT_EQ(gm_area_p(&area, square.data(), countOf(square)), GM_OK);
    EXPECT_EQ(area, 100);
    ASSERT_EQ(gm_area_p(&area, clockwise.data(), countOf(clockwise)), GM_OK);
    EXPECT_EQ(area, 100);
}

TEST(GmArea, RoundsHalvesUpAndReportsZeroForFlatPolygons) {
    const Points triangle{{0, 0}, {3, 0}, {0, 3}};  // 4.5
    int area = -1;
    ASSERT_EQ(gm_area_p(&area, triangle.data(), countOf(triangle)), GM_OK);
    EXPECT_EQ(area, 5);
    const Points flat{{0, 0}, {4, 4}, {8, 8}};
    ASSERT_EQ(gm_area_p(&area, flat.data(), countOf(flat)), GM_OK);
    EXPECT_EQ(area, 0);
}

TEST(GmArea, FailsWhenTheAreaDoesNotFitAnInt) {
    const Points full{{-32768, -32768}, {32767, -32768}, {32767, 32767}, {-32768, 32767}};
    int area = 17;
    EXPECT_EQ(gm_area_p(&area, full.data(), countOf(full)), GM_ERR_RANGE);
    EXPECT_EQ(area, 17);
    EXPECT_EQ(gm_area_p(nullptr, full.data(), countOf(full)), GM_ERR_ARGUMENT);
    EXPECT_EQ(gm_area_p(&area, full.data(), 0), GM_ERR_ARGUMENT);
}

}  // namespace
