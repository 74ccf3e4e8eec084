#include "guard/area_guard.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "filters/object_lifetime_filter.h"
#include "geometry/polygon.h"
#include "occupancy_guard.h"

namespace {

using guardtest::kFrameInterval;
using guardtest::kSecond;
using guardtest::OccupancyGuard;
using guardtest::RecordingProducer;
using guardtest::SceneScript;
using guardtest::square;
using Sent = std::vector<std::string>;

std::string at(const char* what, int64_t time) {
    return RecordingProducer::at(what, time);
}

// This executable runs on a device without mechanical PTZ.
class AreaGuardTest : public ::testing::Test {
  protected:
    std::unique_ptr<AlarmData> frameWithObject(int64_t time) {
        return guard.checkObjects(script.frame(time, {square(1, 0, 0)}));
    }
    std::unique_ptr<AlarmData> emptyFrame(int64_t time) {
        return guard.checkObjects(script.frame(time, {}));
    }

    RecordingProducer producer;
    OccupancyGuard guard{producer, 3};
    SceneScript script;
};

TEST_F(AreaGuardTest, WithoutMechanicalPtzEveryFrameIsEvaluatedWhateverThePreset) {
    guard.handleStartupPreset(2);
    ASSERT_NE(frameWithObject(kSecond), nullptr);
    guard.handleMovementEvent(true, 5 * kSecond);  // still ends the event at once
    const auto data = frameWithObject(6 * kSecond);
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->isAlarm());
    guard.handleArrivingAtPreset(4, 7 * kSecond);
    EXPECT_NE(frameWithObject(7 * kSecond - 1), nullptr);
    EXPECT_EQ(guard.evaluatedFrames, 3);
    EXPECT_EQ(producer.sent,
              (Sent{at("start", kSecond), at("end", 5 * kSecond), at("start", 6 * kSecond)}));
}

TEST_F(AreaGuardTest, ATestAlarmShowsTheMiddleQuarterForTheMinimumEventDuration) {
    guard.sendAlarmEvent();
    const int64_t start = 10 * kSecond;
    int64_t time = start;
    for (; time <= start + guardtest::kEventDuration; time += kFrameInterval) {
        const auto data = frameWithObject(time);
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->getProfileId(), OccupancyGuard::kId);
        EXPECT_TRUE(data->getObjects().empty());
        ASSERT_EQ(data->getPolygonsToDisplay().size(), 1u);
        const Polygon& rectangle = *data->getPolygonsToDisplay().front();
        EXPECT_EQ(rectangle.getMinX(), -2048);
        EXPECT_EQ(rectangle.getMaxX(), 2048);
        EXPECT_EQ(rectangle.getMinY(), -2048);
        EXPECT_EQ(rectangle.getMaxY(), 2048);
    }
    EXPECT_EQ(producer.sent, Sent{at("start", start)});
    // The first frame more than the duration after the start ends the test.
    EXPECT_TRUE(frameWithObject(time)->getObjects().empty());
    EXPECT_EQ(producer.sent, (Sent{at("start", start), at("end", time)}));
    EXPECT_EQ(guard.evaluatedFrames, 0);

    time += kFrameInterval;
    const auto after = emptyFrame(time);
    EXPECT_TRUE(after->getPolygonsToDisplay().empty());
    EXPECT_EQ(guard.evaluatedFrames, 1);
    EXPECT_EQ(producer.sent.size(), 2u);
}

TEST_F(AreaGuardTest, MovementOrLeavingThePresetCancelsATestAlarm) {
    guard.sendAlarmEvent();
    emptyFrame(kSecond);
    guard.handleMovementEvent(false, 2 * kSecond);
    EXPECT_TRUE(emptyFrame(2 * kSecond)->getPolygonsToDisplay().empty());
    EXPECT_EQ(guard.evaluatedFrames, 1);

    guard.sendAlarmEvent();  // requested but not yet started
    guard.handleLeavingPreset(3 * kSecond);
    emptyFrame(3 * kSecond);
    EXPECT_EQ(guard.evaluatedFrames, 2);
    EXPECT_EQ(producer.sent, (Sent{at("start", kSecond), at("end", 2 * kSecond)}));
}

TEST_F(AreaGuardTest, UnconfidentObjectsAndObjectsAFilterRejectsAreFiltered) {
    guard.addExclusionFilter(nullptr);
    guard.addExclusionFilter(std::make_unique<ObjectLifetimeFilter>(kSecond, true));
    auto unconfident = square(2, 500, 500);
    unconfident.confident = false;
    script.frame(0, {square(1, 0, 0), unconfident});
    const auto young =
        guard.checkObjects(script.frame(kSecond - 1, {square(1, 0, 0), unconfident}));
    EXPECT_EQ(young->getObjects()[0].status, OBJECT_FILTERED);
    EXPECT_FALSE(young->isAlarm());
    const auto old = guard.checkObjects(script.frame(kSecond, {square(1, 0, 0), unconfident}));
    EXPECT_EQ(old->getObjects()[0].status, OBJECT_ALARM);
    EXPECT_EQ(old->getObjects()[1].status, OBJECT_FILTERED);
}

}  // namespace
