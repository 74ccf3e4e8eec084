#include "guard/loitering_area.h"

#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>
#include <vector>

#include "guard/guard_record.h"
#include "scene_script.h"
#include "tracking/tracking_object_external_data_no_merge.h"

namespace {

using guardtest::Box;
using guardtest::kFrameInterval;
using guardtest::kSecond;
using guardtest::SceneScript;
using guardtest::square;

constexpr int kGuardId = 1;
const char* const kDataKey = "loiteringArea_1";
constexpr int64_t kDropTime = 8 * kSecond + kFrameInterval;

int64_t loiteringTimeOf(const TrackingObject& object) {
    const auto* record = guard::findRecord<LoiteringAreaExternalData>(object, kDataKey);
    return record != nullptr ? record->getLoiteringTime() : -1;
}

// The area spans -2000..2000 on both axes.
class LoiteringAreaTest : public ::testing::Test {
  protected:
    explicit LoiteringAreaTest(int64_t individual = 10 * kSecond, int64_t group = 0)
        : area(Polygon(-2000, 2000, -2000, 2000), kGuardId, individual, group) {}

    // One frame as the guard plays it to its area, for objects that pass
    // every filter.
    void play(int64_t time, const std::vector<Box>& boxes, const std::vector<int>& vanished = {}) {
        const ParsedScene scene = script.frame(time, boxes, vanished);
        std::vector<const TrackingObject*> gone;
        for (const auto& object : scene.getDeletedObjects()) {
            gone.push_back(object.get());
        }
        area.updateDroppedLoiteringTimes(gone, time);
        area.pickUpDroppedTimeForNewObjects(scene);
        for (TrackingObject* object : scene.getActiveObjects()) {
            lastResult = area.updateLoiteringTime(*object, time, false);
        }
    }

    // Object 1 stays in the middle from 1 s to 8 s and vanishes at kDropTime.
    void leaveSevenSecondsInTheMiddle() {
        for (int64_t time = kSecond; time <= 8 * kSecond; time += kFrameInterval) {
            play(time, {square(1, 0, 0)});
        }
        play(kDropTime, {}, {1});
    }

    int64_t timeOf(int id) { return loiteringTimeOf(*script.find(id)); }

    LoiteringArea area;
    SceneScript script;
    ProtectionAreaResult_e lastResult = AREA_OUTSIDE;
};

TEST_F(LoiteringAreaTest, ExcludedPartsAndSkippedFramesFreezeTheTimeAndOutsideResetsIt) {
    area.addExcludeArea(Polygon(-2000, -1000, -2000, 2000));
    for (int64_t time = 0; time <= 5 * kSecond; time += kFrameInterval) {
        play(time, {square(1, 0, 0)});
    }
    for (int64_t time = 5 * kSecond + kFrameInterval; time <= 7 * kSecond; time += kFrameInterval) {
        play(time, {square(1, -1500, 0)});
        ASSERT_EQ(lastResult, AREA_EXCLUDED);
        ASSERT_EQ(timeOf(1), 5 * kSecond);
    }
    // Back inside only the frame since the last evaluation counts.
    play(7 * kSecond + kFrameInterval, {square(1, 0, 0)});
    EXPECT_EQ(timeOf(1), 5 * kSecond + kFrameInterval);

    const ParsedScene swayingFrame = script.frame(8 * kSecond, {square(1, 3000, 0)});
    EXPECT_EQ(area.updateLoiteringTime(*script.find(1), 8 * kSecond, true), AREA_OUTSIDE);
    EXPECT_EQ(timeOf(1), 5 * kSecond + kFrameInterval);

    play(9 * kSecond, {square(1, 3000, 0)});
    EXPECT_EQ(lastResult, AREA_OUTSIDE);
    EXPECT_EQ(timeOf(1), 0);
    EXPECT_FALSE(area.doesTriggerAlarm(*script.find(1)));
}

TEST_F(LoiteringAreaTest, ANewObjectNearbyTakesOverTheTimeOfAVanishedOneOnce) {
    leaveSevenSecondsInTheMiddle();
    ASSERT_EQ(area.getDroppedTimes().size(), 1u);
    EXPECT_EQ(area.getDroppedTimes().front().loiteringTime, 7 * kSecond);

    play(20 * kSecond, {square(2, 900, 0), square(3, 500, 0), square(4, -500, 0)});
    EXPECT_EQ(timeOf(2), 0);  // 900 units away
    EXPECT_EQ(timeOf(3), 7 * kSecond);
    EXPECT_EQ(timeOf(4), 0);  // already taken
    EXPECT_TRUE(area.getDroppedTimes().empty());
}

TEST_F(LoiteringAreaTest, ADroppedTimeIsKeptForThirtySeconds) {
    leaveSevenSecondsInTheMiddle();
    play(kDropTime + 30 * kSecond, {square(2, 500, 0)});
    EXPECT_EQ(timeOf(2), 7 * kSecond);
}

TEST_F(LoiteringAreaTest, ADroppedTimeOlderThanThirtySecondsIsForgotten) {
    leaveSevenSecondsInTheMiddle();
    play(kDropTime + 30 * kSecond + 1, {square(2, 500, 0)});
    EXPECT_EQ(timeOf(2), 0);
    EXPECT_TRUE(area.getDroppedTimes().empty());
}

TEST_F(LoiteringAreaTest, ObjectsVanishingNearTheBorderOrOutsideLeaveNoTime) {
    for (int64_t time = kSecond; time <= 8 * kSecond; time += kFrameInterval) {
        play(time, {square(1, 1850, 0), square(2, 0, -1850), square(3, 1000, 1000)});
    }
    EXPECT_TRUE(area.isObjectCloseToBorder(*script.find(1)));
    EXPECT_FALSE(area.isObjectCloseToBorder(*script.find(3)));
    play(9 * kSecond, {square(4, 3000, 0)});
    play(10 * kSecond, {}, {1, 2, 3, 4});
    ASSERT_EQ(area.getDroppedTimes().size(), 1u);
    const Point position = area.getDroppedTimes().front().position;
    EXPECT_EQ(position.x, 1000);
    EXPECT_EQ(position.y, 1000);
}

class GroupTimeTest : public LoiteringAreaTest {
  protected:
    GroupTimeTest() : LoiteringAreaTest(0, 20 * kSecond) {}

    // Frames every 100 ms from first to last with an eligible object inside,
    // or only in excluded parts.
    void occupied(int64_t first, int64_t last, bool inside = true) {
        for (int64_t time = first; time <= last; time += kFrameInterval) {
            area.updateAreaLoiteringTime(time, inside, !inside);
        }
    }
};

TEST_F(GroupTimeTest, ObjectsOnlyInExcludedPartsHoldTheGroupTimeWithoutAddingToIt) {
    occupied(kSecond, 11 * kSecond);
    occupied(11 * kSecond + kFrameInterval, 20 * kSecond, false);
    EXPECT_EQ(area.getGroupLoiteringTime(), 10 * kSecond);
    occupied(20 * kSecond + kFrameInterval, 20 * kSecond + kFrameInterval);
    EXPECT_EQ(area.getGroupLoiteringTime(), 10 * kSecond + kFrameInterval);
}

TEST_F(GroupTimeTest, AGapInFramesCountsLikeTheIndividualTimeAndOnlyAnEmptyAreaPauses) {
    // Frames stop for 7 s while an object stays inside: only a pause in
    // occupancy ends the group time, so both timers credit the gap.
    for (int64_t time = kSecond; time <= 4 * kSecond; time += kFrameInterval) {
        area.updateAreaLoiteringTime(time, true, false);
        play(time, {square(1, 0, 0)});
    }
    area.updateAreaLoiteringTime(11 * kSecond, true, false);
    play(11 * kSecond, {square(1, 0, 0)});
    EXPECT_EQ(area.getGroupLoiteringTime(), 10 * kSecond);
    EXPECT_EQ(timeOf(1), 10 * kSecond);
    occupied(11 * kSecond + kFrameInterval, 20 * kSecond);
    EXPECT_FALSE(area.doesAreaTriggerAlarm());
    occupied(21 * kSecond, 21 * kSecond);
    EXPECT_TRUE(area.doesAreaTriggerAlarm());
}

TEST(LoiteringAreaExternalDataTest, AMergeKeepsTheLongerTimeAndTheEarlierUpdate) {
    LoiteringAreaExternalData target(8 * kSecond);
    target.setLoiteringTime(3 * kSecond);
    LoiteringAreaExternalData source(5 * kSecond);
    source.setLoiteringTime(12 * kSecond);
    target.merge(source);
    EXPECT_EQ(target.getLoiteringTime(), 12 * kSecond);
    EXPECT_EQ(target.getLastUpdateTime(), 5 * kSecond);
    EXPECT_THROW(target.merge(TrackingObjectExternalDataNoMerge()), std::bad_cast);
}

TEST_F(LoiteringAreaTest, DrawsTheLoiteringPolygonWithItsClass) {
    EXPECT_EQ(area.toStringSvg("fill:red;"),
              "<polygon class=\"loiteringArea\" points=\" -0.488,-0.488 -0.488,0.488 0.488,0.488 "
              "0.488,-0.488\" style=\"fill:red;\"  />\n");
}

}  // namespace
