#include "geometry/polygon.h"

#include <gtest/gtest.h>

#include <vector>

#include "geometry/polyline.h"

namespace {

using Points = std::vector<Point>;

Polygon polygonOf(const Points& points) {
    return Polygon(points.data(), static_cast<int>(points.size()));
}

void expectBox(const Polygon& polygon, int minX, int maxX, int minY, int maxY) {
    EXPECT_EQ(polygon.getMinX(), minX);
    EXPECT_EQ(polygon.getMaxX(), maxX);
    EXPECT_EQ(polygon.getMinY(), minY);
    EXPECT_EQ(polygon.getMaxY(), maxY);
    EXPECT_EQ(polygon.getWidth(), maxX - minX);
    EXPECT_EQ(polygon.getHeight(), maxY - minY);
}

TEST(PolygonConstruction, NoPointsGiveTheUnitTriangle) {
    const Polygon none(nullptr, 0);
    EXPECT_EQ(none.getPoints(), (Points{{0, 0}, {0, 1}, {1, 0}}));
    expectBox(none, 0, 1, 0, 1);
    const Point ignored{500, 500};
    EXPECT_EQ(Polygon(&ignored, -3).getPoints(), none.getPoints());
}

TEST(PolygonConstruction, OnePointGrowsTowardsTheCentreLine) {
    const Polygon corner = polygonOf({{4000, -4096}});
    EXPECT_EQ(corner.getPoints(), (Points{{4000, -4096}, {3999, -4095}, {3999, -4096}}));
    expectBox(corner, 3999, 4000, -4096, -4095);
    // 2048 itself steps down, 2047 up.
    EXPECT_EQ(polygonOf({{2048, 2047}}).getPoints(),
              (Points{{2048, 2047}, {2047, 2048}, {2047, 2047}}));
}

TEST(PolygonConstruction, TwoEqualPointsGiveFourVertices) {
    const Polygon twice = polygonOf({{10, 10}, {10, 10}});
    EXPECT_EQ(twice.getPoints(), (Points{{10, 10}, {10, 10}, {11, 11}, {11, 10}}));
    expectBox(twice, 10, 11, 10, 11);
}

TEST(PolygonConstruction, TwoDifferentPointsGetAThirdBesideTheSecond) {
    const Polygon segment = polygonOf({{-100, 3000}, {2500, 3000}});
    EXPECT_EQ(segment.getPoints(), (Points{{-100, 3000}, {2500, 3000}, {2499, 2999}}));
    expectBox(segment, -100, 2500, 2999, 3000);
}

TEST(PolygonConstruction, ThreeOrMorePointsAreKeptAsGiven) {
    const Points given{{5, 5}, {5, 5}, {-7, 12}, {30, -1}};
    const Polygon polygon = polygonOf(given);
    EXPECT_EQ(polygon.getPoints(), given);
    expectBox(polygon, -7, 30, -1, 12);
}

TEST(PolygonConstruction, RectangleFromItsBounds) {
    const Polygon rectangle(-20, 30, -5, 40);
    EXPECT_EQ(rectangle.getPoints(), (Points{{-20, -5}, {-20, 40}, {30, 40}, {30, -5}}));
    expectBox(rectangle, -20, 30, -5, 40);
}

TEST(PolygonConstruction, RectangleAroundACentreTruncatesHalvesTowardZero) {
    const Polygon odd(Point{0, 0}, 5, 3);
    EXPECT_EQ(odd.getPoints(), (Points{{-2, -1}, {-2, 2}, {3, 2}, {3, -1}}));
    expectBox(odd, -2, 3, -1, 2);
    const Polygon negative(Point{-3, -3}, -5, 4);  // -5 / 2 is -2
    expectBox(negative, -6, -1, -5, -1);
}

TEST(PolygonConstruction, CloneIsAnIndependentCopy) {
    const Polygon original(1, 4, 2, 8);
    const auto copy = original.clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->getPoints(), original.getPoints());
    expectBox(*copy, 1, 4, 2, 8);
}

TEST(PolygonMeasures, CentroidAndArea) {
    const Polygon rectangle(-10, 30, -4, 20);
    EXPECT_EQ(rectangle.getCentroid(), (Point{10, 8}));
    EXPECT_EQ(rectangle.getPolygonArea(), 40 * 24);
}

TEST(PolygonMeasures, FlatPolygonsFallBackToTheFirstVertexAndNoArea) {
    // Two different points on a diagonal get a third one on the same line.
    const Polygon flat = polygonOf({{-5, -5}, {100, 100}});
    EXPECT_EQ(flat.getCentroid(), (Point{-5, -5}));
    EXPECT_EQ(flat.getPolygonArea(), 0);
}

TEST(PolygonRelations, IntersectionAndContainment) {
    const Polygon area(0, 100, 0, 100);
    EXPECT_TRUE(area.doesIntersect(Polygon(90, 120, 90, 120)));
    EXPECT_TRUE(area.doesIntersect(Polygon(10, 20, 10, 20)));
    EXPECT_FALSE(area.doesIntersect(Polygon(101, 120, 0, 100)));

    EXPECT_TRUE(area.isPolygonInside(Polygon(10, 20, 10, 20)));
    EXPECT_TRUE(area.isPolygonInside(area));  // the border counts as inside
    EXPECT_FALSE(area.isPolygonInside(Polygon(90, 120, 10, 20)));
    EXPECT_FALSE(Polygon(10, 20, 10, 20).isPolygonInside(area));
}

TEST(PolygonRelations, IntersectionWithLines) {
    const Polygon area(0, 100, 0, 100);
    EXPECT_TRUE(area.doesIntersect(Polyline(Point{-10, 50}, Point{10, 50})));
    EXPECT_TRUE(area.doesIntersect(Polyline(Point{20, 20}, Point{30, 30})));
    EXPECT_FALSE(area.doesIntersect(Polyline(Point{-10, -10}, Point{-10, 200})));
}

TEST(PolygonSvg, WritesVerticesInSvgCoordinatesWithTheStyleWhenGiven) {
    const Points triangle{{2048, -4096}, {0, 4096}, {-1, 10}};
    const Polygon polygon(triangle.data(), 3);
    EXPECT_EQ(polygon.toStringSvg("fill:red;", "area"),
              "<polygon class=\"area\" points=\" 0.500,-1.000 0.000,1.000 -0.000,0.002\" "
              "style=\"fill:red;\"  />\n");
    EXPECT_EQ(polygon.toStringSvg("", ""),
              "<polygon class=\"\" points=\" 0.500,-1.000 0.000,1.000 -0.000,0.002\" />\n");
}

TEST(PolygonSvg, TheBoundingBoxGoesRoundFromTheLowerLeftCorner) {
    const Points triangle{{2048, -4096}, {0, 4096}, {-1024, 0}};
    EXPECT_EQ(Polygon(triangle.data(), 3).toBoundingBoxStringSvg("", "box"),
              "<polygon class=\"box\" points=\" -0.250,-1.000 0.500,-1.000 0.500,1.000 "
              "-0.250,1.000\" />\n");
}

}  // namespace
