#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "base/camera_info.h"
#include "guard/area_guard.h"
#include "occupancy_guard.h"
#include "platform_events_fixture.h"

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

// A device with a mechanical PTZ head. The device facts are read once per
// process, so this executable holds only PTZ cases.
class AreaGuardPtzTest : public PlatformEventsFixture {
  protected:
    AreaGuardPtzTest() {
        root.writeFile("/etc/camlet/parameters.conf", "root.Properties.PTZ.PTZ=yes\n");
    }

    void SetUp() override { ASSERT_TRUE(CameraInfo::isMechanicalPTZ()); }

    std::unique_ptr<OccupancyGuard> makeGuard(int preset) {
        return std::make_unique<OccupancyGuard>(producer, preset);
    }
    std::unique_ptr<AlarmData> frameWithObject(Guard& guard, int64_t time) {
        return guard.checkObjects(script.frame(time, {square(1, 0, 0)}));
    }

    RecordingProducer producer;
    SceneScript script;
};

TEST_F(AreaGuardPtzTest, WithoutAPresetFramesFromBeforeTheLatestMovementAreIgnored) {
    auto guard = makeGuard(PtzState::kNoPreset);
    ASSERT_NE(frameWithObject(*guard, kSecond), nullptr);
    guard->handleMovementEvent(true, 2 * kSecond);
    EXPECT_EQ(frameWithObject(*guard, 3 * kSecond), nullptr);
    guard->handleMovementEvent(false, 10 * kSecond);
    // Analysed before the stop: still ignored, and no event starts.
    EXPECT_EQ(frameWithObject(*guard, 10 * kSecond - kFrameInterval), nullptr);
    EXPECT_EQ(guard->evaluatedFrames, 1);
    EXPECT_EQ(producer.sent, (Sent{at("start", kSecond), at("end", 2 * kSecond)}));
    ASSERT_NE(frameWithObject(*guard, 10 * kSecond), nullptr);
    EXPECT_EQ(producer.sent.back(), at("start", 10 * kSecond));
}

TEST_F(AreaGuardPtzTest, BoundToPresetThreeOnlyFramesAtPresetThreeSinceTheArrivalCount) {
    auto guard = makeGuard(3);
    guard->handleStartupPreset(2);
    EXPECT_EQ(frameWithObject(*guard, kSecond), nullptr);
    guard->handleArrivingAtPreset(3, 5 * kSecond);
    EXPECT_EQ(frameWithObject(*guard, 5 * kSecond - kFrameInterval), nullptr);
    ASSERT_NE(frameWithObject(*guard, 5 * kSecond), nullptr);
    guard->handleLeavingPreset(6 * kSecond);
    EXPECT_EQ(frameWithObject(*guard, 7 * kSecond), nullptr);
    EXPECT_EQ(guard->evaluatedFrames, 1);
    EXPECT_EQ(producer.sent, (Sent{at("start", 5 * kSecond), at("end", 6 * kSecond)}));
}

TEST_F(AreaGuardPtzTest, BoundToAnyPresetFramesCountAtEveryPresetSinceTheArrival) {
    auto guard = makeGuard(PtzState::kAnyPreset);
    EXPECT_EQ(frameWithObject(*guard, kSecond), nullptr);  // not at a preset yet
    guard->handleArrivingAtPreset(4, 5 * kSecond);
    EXPECT_EQ(frameWithObject(*guard, 5 * kSecond - kFrameInterval), nullptr);
    EXPECT_NE(frameWithObject(*guard, 5 * kSecond), nullptr);
}

TEST_F(AreaGuardPtzTest, ATestAlarmRunsAwayFromThePresetUntilTheCameraMoves) {
    auto guard = makeGuard(3);
    guard->sendAlarmEvent();
    const auto data = frameWithObject(*guard, kSecond);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->getPolygonsToDisplay().size(), 1u);
    guard->handleMovementEvent(true, 2 * kSecond);
    EXPECT_EQ(frameWithObject(*guard, 3 * kSecond), nullptr);
    EXPECT_EQ(producer.sent, (Sent{at("start", kSecond), at("end", 2 * kSecond)}));
}

TEST_F(AreaGuardPtzTest, PtzEventsFromAnotherThreadNeverInterleaveWithAFrame) {
    auto guard = makeGuard(PtzState::kAnyPreset);
    std::atomic<bool> done{false};
    std::thread events([&guard, &done] {
        for (int64_t round = 1; !done; ++round) {
            guard->handleArrivingAtPreset(1, round);
            guard->sendAlarmEvent();
            guard->handleMovementEvent(round % 2 == 0, round);
            guard->handleLeavingPreset(round);
        }
    });
    for (int64_t time = 0; time < 2000 * kFrameInterval; time += kFrameInterval) {
        frameWithObject(*guard, time);
    }
    done = true;
    events.join();
    // Starts and ends alternate, whatever the interleaving.
    for (size_t index = 0; index < producer.sent.size(); ++index) {
        EXPECT_EQ(producer.sent[index].rfind(index % 2 == 0 ? "start@" : "end@", 0), 0u)
            << producer.sent[index];
    }
}

}  // namespace
