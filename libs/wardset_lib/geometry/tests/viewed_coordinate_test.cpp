#include "geometry/viewed_coordinate.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewedCoordinate, TurnsThePointWithTheCameraRotation) {
    const Point corner{-3500, -3000};
    EXPECT_EQ(utils::convertViewedCoordinate(corner, 0), (Point{-3500, -3000}));
    EXPECT_EQ(utils::convertViewedCoordinate(corner, 90), (Point{3000, -3500}));
    EXPECT_EQ(utils::convertViewedCoordinate(corner, 180), (Point{3500, 3000}));
    EXPECT_EQ(utils::convertViewedCoordinate(corner, 270), (Point{-3000, 3500}));
    EXPECT_EQ(utils::convertViewedCoordinate(corner, 45), corner);
}

TEST(ViewedCoordinate, TwoQuarterTurnsMakeTheHalfTurn) {
    const Point point{123, -4096};
    EXPECT_EQ(utils::convertViewedCoordinate(utils::convertViewedCoordinate(point, 90), 90),
              utils::convertViewedCoordinate(point, 180));
    EXPECT_EQ(utils::convertViewedCoordinate(utils::convertViewedCoordinate(point, 90), 270),
              point);
}

TEST(ViewedCoordinate, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(utils::convertViewedCoordinate(Point{-32768, 5}, 180), (Point{32767, -5}));
}

}  // namespace
