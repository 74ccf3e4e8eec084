#include "tracking/invariant_box.h"

#include <gtest/gtest.h>

#include <vector>

#include "syslog_capture.h"

namespace {

using Points = std::vector<Point>;

void expectRectangle(const Polygon& polygon, int minX, int maxX, int minY, int maxY) {
    EXPECT_EQ(polygon.getPoints(),
              (Points{{static_cast<int16_t>(minX), static_cast<int16_t>(minY)},
                      {static_cast<int16_t>(minX), static_cast<int16_t>(maxY)},
                      {static_cast<int16_t>(maxX), static_cast<int16_t>(maxY)},
                      {static_cast<int16_t>(maxX), static_cast<int16_t>(minY)}}));
}

const Point kCentre{100, 200};

TEST(InvariantBox, UprightRotationsKeepWidthAndHeight) {
    const InvariantBox box(40, 90, 180, 1.5f);
    EXPECT_EQ(box.getWidth(), 40);
    EXPECT_EQ(box.getHeight(), 90);
    EXPECT_EQ(box.getAspectCorrectedWidth(), 60);
    EXPECT_EQ(box.getAspectCorrectedHeight(), 90);
}

TEST(InvariantBox, Rotation90SwapsWidthAndHeight) {
    const InvariantBox box(40, 90, 90, 1.5f);
    EXPECT_EQ(box.getWidth(), 90);
    EXPECT_EQ(box.getHeight(), 40);
    EXPECT_EQ(box.getAspectCorrectedWidth(), 60);  // 90 / 1.5
    EXPECT_EQ(box.getAspectCorrectedHeight(), 40);
}

TEST(InvariantBox, FootPositionFollowsTheRotation) {
    // w = 41, h = 90: halves 20 and 45.
    EXPECT_EQ(InvariantBox(41, 90, 0, 1.0f).getFootPositionValue(kCentre), 200 - 45);
    EXPECT_EQ(InvariantBox(41, 90, 90, 1.0f).getFootPositionValue(kCentre), 100 + 20);
    EXPECT_EQ(InvariantBox(41, 90, 180, 1.0f).getFootPositionValue(kCentre), 200 + 45);
    EXPECT_EQ(InvariantBox(41, 90, 270, 1.0f).getFootPositionValue(kCentre), 100 - 20);
}

TEST(InvariantBox, FootBoxIsTheQuarterAtTheFoot) {
    // w = 80, h = 40: halves 40 and 20, quarters 20 and 10.
    expectRectangle(*InvariantBox(80, 40, 0, 1.0f).getFootBox(kCentre), 60, 140, 180, 190);
    expectRectangle(*InvariantBox(80, 40, 90, 1.0f).getFootBox(kCentre), 120, 140, 180, 220);
    expectRectangle(*InvariantBox(80, 40, 180, 1.0f).getFootBox(kCentre), 60, 140, 210, 220);
    expectRectangle(*InvariantBox(80, 40, 270, 1.0f).getFootBox(kCentre), 60, 80, 180, 220);
}

TEST(InvariantBox, ViewedLowerLeftFollowsTheRotation) {
    EXPECT_EQ(InvariantBox(80, 40, 0, 1.0f).getViewedLowerLeft(kCentre), (Point{60, 180}));
    EXPECT_EQ(InvariantBox(80, 40, 90, 1.0f).getViewedLowerLeft(kCentre), (Point{140, 180}));
    EXPECT_EQ(InvariantBox(80, 40, 180, 1.0f).getViewedLowerLeft(kCentre), (Point{140, 220}));
    EXPECT_EQ(InvariantBox(80, 40, 270, 1.0f).getViewedLowerLeft(kCentre), (Point{60, 220}));
}

TEST(InvariantBox, UnexpectedRotationIsLoggedKeptAndTreatedAsUprightForTheFoot) {
    SyslogCapture log;
    const InvariantBox box(80, 40, 45, 1.0f);
    EXPECT_NE(log.take().find("Unexpected camera rotation 45\n"), std::string::npos);
    EXPECT_EQ(box.getRotation(), 45);
    EXPECT_EQ(box.getWidth(), 40);  // neither 0 nor 180: sideways
    expectRectangle(*box.getFootBox(kCentre), 60, 140, 180, 190);
}

TEST(InvariantBox, ZeroAspectRatioDoesNotOverflow) {
    EXPECT_EQ(InvariantBox(80, 40, 90, 0.0f).getAspectCorrectedWidth(), INT32_MAX);
    EXPECT_EQ(InvariantBox(80, 40, 0, 0.0f).getAspectCorrectedWidth(), 0);
}

TEST(InvariantBox, MergeTakesTheLargerExtents) {
    InvariantBox box(80, 40, 0, 1.5f);
    box.merge(InvariantBox(60, 70, 0, 1.5f));
    EXPECT_EQ(box.getWidth(), 80);
    EXPECT_EQ(box.getHeight(), 70);
    box.update(10, 20);
    EXPECT_EQ(box.getWidth(), 10);
    EXPECT_EQ(box.getHeight(), 20);
}

TEST(InvariantBox, BoxesOfDifferentRotationOrAspectDoNotMerge) {
    InvariantBox box(80, 40, 0, 1.5f);
    SyslogCapture log;
    box.merge(InvariantBox(100, 100, 90, 1.5f));
    box.merge(InvariantBox(100, 100, 0, 1.25f));
    const std::string logged = log.take();
    EXPECT_NE(logged.find("Cannot merge two Invariant boxes with different aspect ratio or image "
                          "rotation,box 1: aspect ratio = 1.500000 image rotation = 0 - box 2: "
                          "aspect ratio = 1.500000 image rotation = 90\n"),
              std::string::npos);
    EXPECT_NE(logged.find("box 2: aspect ratio = 1.250000 image rotation = 0\n"),
              std::string::npos);
    EXPECT_EQ(box.getWidth(), 80);
    EXPECT_EQ(box.getHeight(), 40);
}

}  // namespace
