#include "guard/ptz_state.h"

#include <gtest/gtest.h>

namespace {

constexpr int64_t kSecond = 1000000;

TEST(PtzStateTest, ACameraWithoutMechanicalPtzProcessesEveryFrame) {
    PtzState ptz(3, false);
    ptz.setCurrentPreset(2);
    ptz.setMoving(true, 10 * kSecond);
    EXPECT_TRUE(ptz.shouldDataBeProcessed(0));
    EXPECT_TRUE(ptz.shouldDataBeProcessed(20 * kSecond));
}

TEST(PtzStateTest, WithoutAPresetFramesOlderThanTheLatestMovementAreIgnored) {
    PtzState ptz(PtzState::kNoPreset, true);
    EXPECT_TRUE(ptz.shouldDataBeProcessed(kSecond));
    ptz.setMoving(true, 10 * kSecond);
    EXPECT_FALSE(ptz.shouldDataBeProcessed(11 * kSecond));
    ptz.setMoving(false, 20 * kSecond);
    // Stopped, but a frame analysed before the stop still shows the moving view.
    EXPECT_FALSE(ptz.shouldDataBeProcessed(20 * kSecond - 1));
    EXPECT_TRUE(ptz.shouldDataBeProcessed(20 * kSecond));
}

TEST(PtzStateTest, BoundToAPresetOnlyFramesAtThatPresetSinceTheArrivalCount) {
    PtzState ptz(3, true);
    ptz.setCurrentPreset(2);
    EXPECT_FALSE(ptz.shouldDataBeProcessed(kSecond));
    ptz.arriveAtPreset(3, 5 * kSecond);
    EXPECT_FALSE(ptz.shouldDataBeProcessed(5 * kSecond - 1));
    EXPECT_TRUE(ptz.shouldDataBeProcessed(5 * kSecond));
    ptz.arriveAtPreset(2, 8 * kSecond);
    EXPECT_FALSE(ptz.shouldDataBeProcessed(9 * kSecond));
    ptz.arriveAtPreset(3, 10 * kSecond);
    ptz.leavePreset();
    EXPECT_FALSE(ptz.shouldDataBeProcessed(11 * kSecond));
}

TEST(PtzStateTest, BoundToAnyPresetFramesCountAtEveryPresetSinceTheArrival) {
    PtzState ptz(PtzState::kAnyPreset, true);
    EXPECT_FALSE(ptz.shouldDataBeProcessed(kSecond));  // not at a preset yet
    ptz.arriveAtPreset(4, 5 * kSecond);
    EXPECT_FALSE(ptz.shouldDataBeProcessed(4 * kSecond));
    EXPECT_TRUE(ptz.shouldDataBeProcessed(6 * kSecond));
    ptz.setMoving(true, 7 * kSecond);
    EXPECT_FALSE(ptz.shouldDataBeProcessed(8 * kSecond));
}

}  // namespace
