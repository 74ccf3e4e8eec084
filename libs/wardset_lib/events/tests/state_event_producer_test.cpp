#include "events/state_event_producer.h"

#include <gtest/gtest.h>

#include "base/sdk_wrapper.h"
#include "event_log.h"
#include "platform_events_fixture.h"

namespace {

using Lines = std::vector<std::string>;

// The device of this executable has one channel.
class StateEventProducerTest : public PlatformEventsFixture {
  protected:
    StateEventProducerHandle registerProfile(int camera, int uid, const std::string& profile) {
        return producer.registerEvent(
            camera, "Camera" + std::to_string(camera) + "Profile" + std::to_string(uid),
            "Dwellwatch: " + profile);
    }

    StateEventProducer producer{"Dwellwatch"};
};

TEST_F(StateEventProducerTest, RegistrationDeclaresTheProfileAndItsAnyProfileEvent) {
    const StateEventProducerHandle handle = registerProfile(1, 3, "Entrance");
    EXPECT_EQ(handle.key, "Dwellwatch: Entrance_Camera1Profile3");
    EXPECT_EQ(handle.camera, 1);
    // No "Any Camera" event on a single-channel device.
    EXPECT_EQ(eventlog::read(root),
              (Lines{"declare Camera1Profile3", "declare Camera1ProfileANY"}));
    const auto niceNames = eventlog::niceNames(root);
    EXPECT_EQ(niceNames.at("Camera1Profile3"), "Dwellwatch: Entrance");
    EXPECT_EQ(niceNames.at("Camera1ProfileANY"), "Dwellwatch: Any Profile");
    producer.unregisterEvent(handle);
}

TEST_F(StateEventProducerTest, AnyProfileStartsWithTheFirstAlarmAndEndsWithTheLast) {
    const auto entrance = registerProfile(1, 1, "Entrance");
    const auto exit = registerProfile(1, 2, "Exit");
    producer.sendStartEvent(entrance, 100);
    producer.sendStartEvent(exit, 200);
    producer.sendEndEvent(entrance, 300);
    producer.sendEndEvent(exit, 400);
    EXPECT_EQ(
        eventlog::read(root, "send"),
        (Lines{"send Camera1Profile1 1", "send Camera1ProfileANY 1", "send Camera1Profile2 1",
               "send Camera1Profile1 0", "send Camera1Profile2 0", "send Camera1ProfileANY 0"}));
    producer.unregisterEvent(entrance);
    producer.unregisterEvent(exit);
}

TEST_F(StateEventProducerTest, AnyProfileStaysDeclaredUntilTheCamerasLastProfileIsUnregistered) {
    const auto entrance = registerProfile(1, 1, "Entrance");
    const auto exit = registerProfile(1, 2, "Exit");
    producer.unregisterEvent(entrance);
    eventlog::waitForLines(root, 4);  // undeclarations come 50 ms after the last removal
    producer.sendStartEvent(exit, 100);
    producer.sendEndEvent(exit);
    producer.unregisterEvent(exit);
    const Lines expected{"declare Camera1Profile1",   "declare Camera1ProfileANY",
                         "declare Camera1Profile2",   "undeclare Camera1Profile1",
                         "send Camera1Profile2 1",    "send Camera1ProfileANY 1",
                         "send Camera1Profile2 0",    "send Camera1ProfileANY 0",
                         "undeclare Camera1Profile2", "undeclare Camera1ProfileANY"};
    EXPECT_EQ(eventlog::waitForLines(root, expected.size()), expected);
}

TEST_F(StateEventProducerTest, AnEndWithoutASuccessfulStartSendsNothing) {
    const auto entrance = registerProfile(1, 1, "Entrance");
    const StateEventProducerHandle undeclared{"Dwellwatch: Gone_Camera1Profile9", 1};
    producer.sendStartEvent(undeclared, 100);  // refused by the platform wrapper
    producer.sendEndEvent(undeclared, 200);
    EXPECT_EQ(eventlog::read(root, "send"), Lines{});

    producer.sendStartEvent(entrance, 300);
    producer.sendEndEvent(entrance, 400);
    EXPECT_EQ(eventlog::read(root, "send"),
              (Lines{"send Camera1Profile1 1", "send Camera1ProfileANY 1", "send Camera1Profile1 0",
                     "send Camera1ProfileANY 0"}));
    producer.unregisterEvent(entrance);
}

TEST_F(StateEventProducerTest, FailedRegistrationKeepsOthersDeclarations) {
    // Someone else holds the "Any Profile" key with other properties.
    ASSERT_EQ(sdk_wrapper_event_add("Dwellwatch: Any Profile_Camera1ProfileANY", "Foreign",
                                    "Foreign", 0, nullptr),
              1);
    const auto handle = registerProfile(1, 1, "Entrance");
    EXPECT_FALSE(handle.isValid());
    EXPECT_EQ(handle.key, "invalid");
    const Lines expected{"declare Foreign", "declare Camera1Profile1", "undeclare Camera1Profile1"};
    EXPECT_EQ(eventlog::waitForLines(root, expected.size()), expected);
    g_usleep(100000);
    EXPECT_EQ(eventlog::read(root), expected);
}

TEST_F(StateEventProducerTest, CameraNumbersBelowOneAreRefused) {
    EXPECT_FALSE(registerProfile(0, 1, "Entrance").isValid());
    EXPECT_FALSE(registerProfile(-1, 1, "Entrance").isValid());
    EXPECT_EQ(eventlog::read(root), Lines{});
}

}  // namespace
