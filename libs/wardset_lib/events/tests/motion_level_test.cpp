#include <glib.h>
#include <gtest/gtest.h>

#include "event_log.h"
#include "events/motion_level_event_producer.h"
#include "events/motion_level_settings.h"
#include "platform_events_fixture.h"

namespace {

using Lines = std::vector<std::string>;

constexpr int64_t kPeriod = 100000;
constexpr int kQuarterView = 1 << 24;

class MotionLevelTest : public PlatformEventsFixture {
  protected:
    // Feeds one frame, after the period has passed when waitPeriod is set.
    void frame(int level, bool waitPeriod = false) {
        if (waitPeriod) {
            g_usleep(static_cast<gulong>(kPeriod) + 5000);
        }
        producer.sendEvent(level, g_get_monotonic_time());
    }

    MotionLevelEventProducer producer{1, kPeriod};
};

TEST_F(MotionLevelTest, NothingIsDeclaredWhileInactive) {
    EXPECT_FALSE(producer.isActive());
    frame(kQuarterView);
    frame(kQuarterView, true);
    EXPECT_EQ(eventlog::read(root), Lines{});
}

TEST_F(MotionLevelTest, ReportsTheLargestCoverageOfEachPeriodInPercent) {
    producer.start();
    frame(kQuarterView);  // declares; the first period starts here
    frame(kQuarterView / 2);
    EXPECT_EQ(eventlog::read(root), Lines{"declare Camera1MotionLevel"});
    frame(100, true);
    frame(4 * kQuarterView + 1);
    frame(kQuarterView / 100, true);
    EXPECT_EQ(eventlog::read(root),
              (Lines{"declare Camera1MotionLevel", "send Camera1MotionLevel 25.0000",
                     "send Camera1MotionLevel 100.0000"}));
    producer.stop();
    frame(kQuarterView, true);
    EXPECT_EQ(eventlog::read(root, "send").size(), 2u);
}

TEST_F(MotionLevelTest, DestructionRemovesTheDeclaration) {
    {
        MotionLevelEventProducer camera2(2, kPeriod);
        camera2.start();
        camera2.sendEvent(0, g_get_monotonic_time());
    }
    EXPECT_EQ(eventlog::waitForLines(root, 2),
              (Lines{"declare Camera2MotionLevel", "undeclare Camera2MotionLevel"}));
}

TEST_F(MotionLevelTest, SettingsStoreTheActiveFlag) {
    root.writeFile("/usr/local/packages/dwellwatch/localdata/motion.json", "");
    EXPECT_TRUE(
        MotionLevelSettings::save(true, "/usr/local/packages/dwellwatch/localdata/motion.json"));
    EXPECT_EQ(root.readFile("/usr/local/packages/dwellwatch/localdata/motion.json"),
              "{\"active\": true}");
    EXPECT_FALSE(MotionLevelSettings::save(false, "/no/such/directory/motion.json"));
}

}  // namespace
