#include "geometry/polygon_overlap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geometry/polygon_container.h"
#include "random_polygons.h"

namespace {

using overlap::Overlap;
using Points = std::vector<Point>;

Polygon polygonOf(const Points& points) {
    return Polygon(points.data(), static_cast<int>(points.size()));
}

std::string describe(const Polygon& polygon) {
    std::string text;
    for (const Point& p : polygon.getPoints()) {
        text += "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    }
    return text;
}

// What the clip says: no common point, a piece of the intersection, or a
// common point without a piece (borders that only touch).
Overlap clipVerdict(const Polygon& area, const Polygon& shape) {
    if (!area.doesIntersect(shape)) {
        return Overlap::None;
    }
    PolygonContainer pieces;
    area.intersect(shape, pieces);
    return pieces.empty() ? Overlap::Undecided : Overlap::Area;
}

// A decided answer must be the clip's.
void expectAgreesWithClip(const Polygon& area, const Polygon& shape, int& decided) {
    const Overlap fast = overlap::classify(area, shape);
    if (fast == Overlap::Undecided) {
        return;
    }
    ++decided;
    EXPECT_EQ(fast, clipVerdict(area, shape))
        << "area " << describe(area) << " shape " << describe(shape);
}

TEST(PolygonOverlap, DecidedAnswersAreTheClipsOnRandomPolygons) {
    geometrytest::RandomPolygons random(20261208);
    int decided = 0;
    int tried = 0;
    // Small grids make shared vertices, touching and collinear edges common;
    // the large scale gives the objects and areas of a real scene.
    for (const int scale : {6, 40, 3000}) {
        for (int i = 0; i < 4000; ++i) {
            const Polygon area = random.any(0, 0, scale);
            const Polygon shape = random.any(random.uniform(-scale, scale),
                                             random.uniform(-scale, scale), scale / 2 + 1);
            EXPECT_EQ(overlap::areApart(area, shape), !area.doesIntersect(shape))
                << "area " << describe(area) << " shape " << describe(shape);
            if (overlap::isSimple(area)) {
                ++tried;
                expectAgreesWithClip(area, shape, decided);
            }
        }
    }
    // Most pairs are decided without the clip, or the test proves little.
    EXPECT_GT(decided, tried / 2);
}

TEST(PolygonOverlap, BordersThatTouchAreLeftToTheClip) {
    const Polygon area(0, 100, 0, 100);
    EXPECT_EQ(overlap::classify(area, Polygon(100, 200, 0, 100)), Overlap::Undecided);    // edge
    EXPECT_EQ(overlap::classify(area, Polygon(100, 200, 100, 200)), Overlap::Undecided);  // corner
    EXPECT_EQ(overlap::classify(area, polygonOf({{0, 0}, {50, 50}, {50, 0}})),
              Overlap::Undecided);  // shared vertex, inside
    EXPECT_EQ(overlap::classify(area, Polygon(101, 200, 0, 100)), Overlap::None);
    EXPECT_EQ(overlap::classify(area, Polygon(10, 90, 10, 90)), Overlap::Area);
    EXPECT_EQ(overlap::classify(Polygon(40, 60, 40, 60), area), Overlap::Area);    // area inside
    EXPECT_EQ(overlap::classify(area, Polygon(50, 150, 50, 150)), Overlap::Area);  // crossing
    // A bow tie crossing itself inside the area: only the clip knows.
    EXPECT_EQ(overlap::classify(area, polygonOf({{10, 10}, {90, 90}, {90, 10}, {10, 90}})),
              Overlap::Undecided);
}

TEST(PolygonOverlap, SimpleBorders) {
    EXPECT_TRUE(overlap::isSimple(Polygon(0, 10, 0, 10)));
    EXPECT_TRUE(overlap::isSimple(polygonOf({{0, 0}, {10, 0}, {10, 10}, {5, 2}, {0, 10}})));
    EXPECT_FALSE(overlap::isSimple(polygonOf({{0, 0}, {10, 10}, {10, 0}, {0, 10}})));   // bow tie
    EXPECT_FALSE(overlap::isSimple(polygonOf({{0, 0}, {10, 0}, {5, 0}})));              // no area
    EXPECT_FALSE(overlap::isSimple(polygonOf({{0, 0}, {10, 0}, {10, 10}, {10, 10}})));  // repeat
    // A pentagram turns the same way at every vertex but goes round twice.
    EXPECT_FALSE(
        overlap::isSimple(polygonOf({{0, 100}, {59, -81}, {-95, 31}, {95, 31}, {-59, -81}})));
}

TEST(PolygonOverlap, BoxesMeetWhenTheyShareAPoint) {
    const Polygon box(0, 10, 0, 10);
    EXPECT_TRUE(overlap::boxesMeet(box, Polygon(10, 20, 10, 20)));
    EXPECT_FALSE(overlap::boxesMeet(box, Polygon(11, 20, 0, 10)));
    EXPECT_TRUE(overlap::boxContains(box, Polygon(0, 10, 2, 3)));
    EXPECT_FALSE(overlap::boxContains(box, Polygon(-1, 10, 2, 3)));
}

}  // namespace
