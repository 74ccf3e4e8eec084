#include "dwellwatch/dw_state_event_producer.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "event_log.h"
#include "events/state_event_handler.h"
#include "platform_events_fixture.h"

namespace {

using Lines = std::vector<std::string>;

constexpr int64_t kSecond = 1000000;
constexpr int64_t kMinDuration = 3 * kSecond;

class DW_StateEventProducerTest : public PlatformEventsFixture {
  protected:
    std::unique_ptr<StateEventHandler> makeHandler(int camera, int uid, const std::string& name) {
        return std::make_unique<StateEventHandler>(camera, uid, "Dwellwatch", name, kMinDuration,
                                                   DW_StateEventProducer::getInstance());
    }
};

TEST_F(DW_StateEventProducerTest, OneAlarmFrameGivesProfileAnyAndOnvifStartAndEnd) {
    auto handler = makeHandler(1, 3, "Entrance");
    EXPECT_EQ(eventlog::niceNames(root).at("Camera1Profile3"), "Dwellwatch: Entrance");
    handler->handleAlarm(true, 10 * kSecond);
    handler->handleAlarm(false, 13 * kSecond + 1);
    handler.reset();
    EXPECT_EQ(eventlog::waitForLines(root, 12),
              (Lines{"declare Camera1Profile3", "declare Camera1ProfileANY",
                     "declare MotionAlarm:0", "send Camera1Profile3 1", "send Camera1ProfileANY 1",
                     "send MotionAlarm:0 1", "send Camera1Profile3 0", "send Camera1ProfileANY 0",
                     "send MotionAlarm:0 0", "undeclare Camera1Profile3",
                     "undeclare Camera1ProfileANY", "undeclare MotionAlarm:0"}));
}

TEST_F(DW_StateEventProducerTest, TwoProfilesInAlarmShareOneAnyAndOneOnvifPeriod) {
    auto entrance = makeHandler(1, 1, "Entrance");
    auto exit = makeHandler(1, 2, "Exit");
    entrance->handleAlarm(true, 0);
    exit->handleAlarm(true, kSecond);
    entrance->handleAlarm(false, 5 * kSecond);
    exit->handleAlarm(false, 5 * kSecond);
    EXPECT_EQ(eventlog::read(root, "send"),
              (Lines{"send Camera1Profile1 1", "send Camera1ProfileANY 1", "send MotionAlarm:0 1",
                     "send Camera1Profile2 1", "send Camera1Profile1 0", "send Camera1Profile2 0",
                     "send Camera1ProfileANY 0", "send MotionAlarm:0 0"}));
}

TEST_F(DW_StateEventProducerTest, AFailedRegistrationIsNeverStoredSoNothingIsSent) {
    auto handler = makeHandler(0, 1, "Entrance");
    handler->handleAlarm(true, 0);
    handler->handleAlarm(false, 4 * kSecond);
    EXPECT_EQ(eventlog::read(root), Lines{});
}

TEST_F(DW_StateEventProducerTest, AKeptProfileStaysPublishedWhenItsOlderGuardGoes) {
    auto oldGuard = makeHandler(1, 1, "Entrance");
    auto newGuard = makeHandler(1, 1, "Entrance");  // built before the old guard is replaced
    oldGuard.reset();
    g_usleep(100000);
    EXPECT_EQ(eventlog::read(root, "undeclare"), Lines{});
    newGuard->handleAlarm(true, 0);
    EXPECT_EQ(
        eventlog::read(root, "send"),
        (Lines{"send Camera1Profile1 1", "send Camera1ProfileANY 1", "send MotionAlarm:0 1"}));
    newGuard->stopAllEvents(kSecond);
}

TEST_F(DW_StateEventProducerTest, GuardsOnSeveralThreadsKeepTheAggregatesBalanced) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 25;
    std::vector<std::thread> threads;
    for (int uid = 1; uid <= kThreads; ++uid) {
        threads.emplace_back([this, uid] {
            auto handler = makeHandler(1, uid, "Area" + std::to_string(uid));
            for (int round = 0; round < kRounds; ++round) {
                handler->handleAlarm(true, round * 10 * kSecond);
                handler->handleAlarm(false, round * 10 * kSecond + 4 * kSecond);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    // Every "Any Profile" start is followed by its end, the last one included.
    int anyState = 0;
    int anyStarts = 0;
    for (const std::string& line : eventlog::read(root, "send")) {
        if (line.rfind("send Camera1ProfileANY ", 0) == 0) {
            const int state = line.back() - '0';
            EXPECT_NE(state, anyState) << line;
            anyState = state;
            anyStarts += state;
        }
    }
    EXPECT_EQ(anyState, 0);
    EXPECT_GE(anyStarts, 1);
    EXPECT_EQ(eventlog::read(root, "send").size() -
                  2 * static_cast<size_t>(anyStarts) * 2,  // Any and ONVIF, start and end
              static_cast<size_t>(2 * kThreads * kRounds));
}

}  // namespace
