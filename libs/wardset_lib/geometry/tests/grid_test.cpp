#include "geometry/grid.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

TEST(Grid, ColumnsAndRowsAreClampedIntoTheGrid) {
    // 8192 / 100 = 81 units per cell, so 4096 would be column 101.
    const Grid grid(-4096, 4096, -4096, 4096, 100, 100, 0, 0);
    EXPECT_EQ(grid.column(-4096), 0);
    EXPECT_EQ(grid.column(-4096 + 80), 0);
    EXPECT_EQ(grid.column(-4096 + 81), 1);
    EXPECT_EQ(grid.column(4096), 99);
    EXPECT_EQ(grid.row(-5000), 0);
    EXPECT_EQ(grid.row(4096), 99);
}

TEST(Grid, ASegmentAtTheRightEdgeMarksTheLastColumn) {
    Grid grid(-4096, 4096, -4096, 4096, 100, 100, 0, 0);
    grid.markSegmentCells({4096, -4096}, {4096, -4096 + 200});  // rows 0 to 2
    EXPECT_EQ(grid.getMarkedCells(), (std::set<int>{99, 199, 299}));
}

TEST(Grid, StraightSegmentsMarkTheirCellsAndMargins) {
    // 10 × 10 cells of 100 units over 0 .. 1000.
    Grid grid(0, 1000, 0, 1000, 10, 10, 1, 2);
    grid.markSegmentCells({550, 420}, {550, 150});  // column 5, rows 1 to 4
    std::set<int> expected;
    for (int row = 0; row <= 6; ++row) {  // two rows of margin, clamped at 0
        for (int column = 4; column <= 6; ++column) {
            expected.insert(row * 10 + column);
        }
    }
    EXPECT_EQ(grid.getMarkedCells(), expected);

    Grid horizontal(0, 1000, 0, 1000, 10, 10, 0, 0);
    horizontal.markSegmentCells({980, 999}, {720, 999});
    EXPECT_EQ(horizontal.getMarkedCells(), (std::set<int>{97, 98, 99}));
}

TEST(Grid, SlantedSegmentsAreSampledWithoutTheirRightEnd) {
    Grid grid(0, 1000, 0, 1000, 10, 10, 0, 0);
    // x = 0 .. 99 in steps of 1, y = x / 2: all in cell 0; the end point
    // (100, 50) would be cell 1 but is not sampled.
    grid.markSegmentCells({100, 50}, {0, 0});
    EXPECT_EQ(grid.getMarkedCells(), (std::set<int>{0}));
}

TEST(Grid, LongSlantedSegmentsAreSampledInSteps) {
    // One-unit columns: a segment 5000 units wide is sampled every 5 units.
    Grid grid(0, 5000, 0, 10, 5000, 1, 0, 0);
    grid.markSegmentCells({0, 0}, {5000, 10});
    EXPECT_EQ(grid.getMarkedCells().size(), 1000u);
    EXPECT_EQ(grid.getMarkedCells().count(5), 1u);
    EXPECT_EQ(grid.getMarkedCells().count(6), 0u);
    EXPECT_EQ(*grid.getMarkedCells().rbegin(), 4995);
}

TEST(Grid, PolygonBordersIncludeTheClosingEdge) {
    const std::vector<Point> triangle{{50, 50}, {950, 50}, {50, 950}};
    const Grid grid(0, 1000, 0, 1000, 10, 10, 0, 0,
                    Polygon(triangle.data(), static_cast<int>(triangle.size())));
    EXPECT_TRUE(grid.isAnyCellMarked({50, 500}, {50, 500}));    // closing edge x = 50
    EXPECT_TRUE(grid.isAnyCellMarked({500, 450}, {500, 450}));  // the diagonal
    EXPECT_FALSE(grid.isAnyCellMarked({250, 250}, {350, 350}));
    EXPECT_TRUE(grid.isAnyCellMarked({250, 250}, {550, 550}));  // block reaches the diagonal
}

TEST(Grid, DegenerateSizesDoNotDivideByZero) {
    Grid grid(0, 5, 0, 5, 0, 10, 0, 0);  // no columns, cells narrower than a unit
    grid.markSegmentCells({0, 0}, {5, 5});
    EXPECT_EQ(grid.column(1000), 0);
    EXPECT_TRUE(grid.isAnyCellMarked({3, 3}, {3, 3}));
}

}  // namespace
