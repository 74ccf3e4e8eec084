#include "geometry/polygon_clipping.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "geometry/polygon.h"
#include "geometry/polygon_container.h"

namespace {

using Points = std::vector<Point>;

Polygon polygonOf(const Points& points) {
    return Polygon(points.data(), static_cast<int>(points.size()));
}

int totalArea(const PolygonContainer& pieces) {
    int area = 0;
    for (const auto& piece : pieces) {
        area += piece->getPolygonArea();
    }
    return area;
}

TEST(FindClosestNonDuplicate, WalksEachRingRowsFirstThenColumns) {
    // Ring 1 around (0, 0), in test order: (-1, 1), (-1, -1), (0, 1), (0, -1),
    // (1, 1), (1, -1), then (-1, 0), (1, 0).
    std::set<Point> taken{{0, 0}};
    EXPECT_EQ(clipping::findClosestNonDuplicate({0, 0}, taken), (Point{-1, 1}));
    taken.insert({-1, 1});
    EXPECT_EQ(clipping::findClosestNonDuplicate({0, 0}, taken), (Point{-1, -1}));
    taken.insert({{-1, -1}, {0, 1}, {0, -1}, {1, 1}, {1, -1}});
    EXPECT_EQ(clipping::findClosestNonDuplicate({0, 0}, taken), (Point{-1, 0}));
    taken.insert({{-1, 0}, {1, 0}});
    EXPECT_EQ(clipping::findClosestNonDuplicate({0, 0}, taken), (Point{-2, 2}));
}

TEST(FindClosestNonDuplicate, StaysInsideTheScene) {
    const std::set<Point> taken{{4096, 4096}, {4095, 4096}};
    // The ring is clipped to x, y <= 4096: (4095, 4096) is taken, (4095, 4095) is next.
    EXPECT_EQ(clipping::findClosestNonDuplicate({4096, 4096}, taken), (Point{4095, 4095}));
}

TEST(AdjustDuplicates, MovesSharedAndRepeatedVerticesApart) {
    const Polygon subject(0, 10, 0, 10);  // (0,0) (0,10) (10,10) (10,0)
    Points clip{{10, 10}, {20, 10}, {20, 20}, {20, 20}, {10, 20}};
    clipping::adjustDuplicates(subject, clip);
    // (10, 10) is a vertex of the subject: the first free point of ring 1 is
    // (9, 11); the repeated (20, 20) goes to (19, 21).
    EXPECT_EQ(clip, (Points{{9, 11}, {20, 10}, {20, 20}, {19, 21}, {10, 20}}));
}

TEST(AdjustDuplicates, ReplacementsAreTakenForLaterDuplicates) {
    const Polygon subject = polygonOf({{0, 0}, {50, 0}, {0, 50}});
    Points clip{{0, 0}, {0, 0}, {30, 30}};
    clipping::adjustDuplicates(subject, clip);
    EXPECT_EQ(clip[0], (Point{-1, 1}));
    EXPECT_EQ(clip[1], (Point{-1, -1}));
    EXPECT_EQ(clip[2], (Point{30, 30}));
}

TEST(PolygonClipping, ClipsAnOperandThatSharesVertices) {
    const Polygon object(0, 100, 0, 100);
    // All three vertices are the object's; they move to (-1, 1), (99, 101)
    // and (99, 1) first, which shifts the triangle by about one unit.
    const Polygon half = polygonOf({{0, 0}, {100, 100}, {100, 0}});
    PolygonContainer inside;
    object.intersect(half, inside);
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_NEAR(inside.at(0).getPolygonArea(), 5000, 150);
    PolygonContainer outside;
    object.cutOff(half, outside);
    ASSERT_FALSE(outside.empty());
    EXPECT_NEAR(totalArea(outside), 5000, 150);
    EXPECT_TRUE(outside.at(0).isPolygonInside(Polygon(10, 20, 70, 80)));
}

TEST(PolygonClipping, DifferenceWithAHoleGivesPiecesWithoutHoles) {
    const Polygon area(-1000, 1000, -1000, 1000);
    const Polygon exclude(-200, 200, -100, 100);
    PolygonContainer pieces;
    area.cutOff(exclude, pieces);
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_EQ(totalArea(pieces), 2000 * 2000 - 400 * 200);
    for (const auto& piece : pieces) {
        EXPECT_TRUE(area.isPolygonInside(*piece));
        EXPECT_FALSE(piece->isPolygonInside(Polygon(-10, 10, -10, 10)));
    }
}

TEST(PolygonClipping, DisjointAndIdenticalOperands) {
    const Polygon object(0, 50, 0, 50);
    PolygonContainer out;
    object.intersect(Polygon(60, 80, 0, 50), out);
    EXPECT_TRUE(out.empty());

    object.intersect(object, out);
    ASSERT_EQ(out.size(), 1u);
    // Every vertex of the copy is shared and moved by one unit.
    EXPECT_NEAR(out.at(0).getPolygonArea(), 2500, 110);
}

TEST(PolygonClipping, AppendsToWhatTheContainerHolds) {
    PolygonContainer out;
    out.insert(std::make_unique<Polygon>(1, 2, 1, 2));
    Polygon(0, 100, 0, 100).intersect(Polygon(50, 150, 20, 80), out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out.at(0).getPolygonArea(), 1);
    EXPECT_EQ(out.at(1).getPolygonArea(), 50 * 60);
}

}  // namespace
