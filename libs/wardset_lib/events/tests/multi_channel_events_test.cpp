// Events on a device with two named channels ("Front" and "Back"). Device
// facts are read once per process, so these tests have an executable of their own.
#include <gtest/gtest.h>

#include "event_log.h"
#include "events/event_names.h"
#include "events/onvif_state_event_producer.h"
#include "events/state_event_producer.h"
#include "platform_events_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class MultiChannelEventsTest : public PlatformEventsFixture {
  protected:
    MultiChannelEventsTest() { describeTwoChannelDevice(); }

    StateEventProducerHandle registerProfile(int camera, int uid, const std::string& profile) {
        const std::string name = utils::generateEventName(camera, uid);
        return producer.registerEvent(camera, name,
                                      utils::generateEventNiceName("Dwellwatch", profile, camera));
    }

    StateEventProducer producer{"Dwellwatch"};
};

TEST_F(MultiChannelEventsTest, NiceNamesCarryTheCameraNameExceptForAnyCamera) {
    EXPECT_EQ(utils::generateEventNiceName("Dwellwatch", "Any Camera", 0),
              "Dwellwatch: Any Camera");
    const auto handle = registerProfile(2, 5, "Entrance");
    EXPECT_EQ(handle.key, "Dwellwatch: Entrance (Back)_Camera2Profile5");
    EXPECT_EQ(eventlog::read(root),
              (Lines{"declare Camera2Profile5", "declare Camera2ProfileANY", "declare CameraANY"}));
    const auto niceNames = eventlog::niceNames(root);
    EXPECT_EQ(niceNames.at("Camera2Profile5"), "Dwellwatch: Entrance (Back)");
    EXPECT_EQ(niceNames.at("Camera2ProfileANY"), "Dwellwatch: Any Profile (Back)");
    EXPECT_EQ(niceNames.at("CameraANY"), "Dwellwatch: Any Camera");
    producer.unregisterEvent(handle);
}

TEST_F(MultiChannelEventsTest, AnyCameraIsActiveWhileAnyCameraIsInAlarm) {
    const auto front = registerProfile(1, 1, "Door");
    const auto back = registerProfile(2, 2, "Yard");
    producer.sendStartEvent(front, 100);
    producer.sendStartEvent(back, 200);
    producer.sendEndEvent(front, 300);
    producer.sendEndEvent(back, 400);
    EXPECT_EQ(eventlog::read(root, "send"),
              (Lines{"send Camera1Profile1 1", "send Camera1ProfileANY 1", "send CameraANY 1",
                     "send Camera2Profile2 1", "send Camera2ProfileANY 1", "send Camera1Profile1 0",
                     "send Camera1ProfileANY 0", "send Camera2Profile2 0",
                     "send Camera2ProfileANY 0", "send CameraANY 0"}));
    producer.unregisterEvent(front);
    producer.unregisterEvent(back);
}

TEST_F(MultiChannelEventsTest, AFailedStartDoesNotUnbalanceTheAnyCameraEvent) {
    const auto door = registerProfile(1, 1, "Door");
    const StateEventProducerHandle undeclared{"Dwellwatch: Gone (Front)_Camera1Profile9", 1};
    producer.sendStartEvent(undeclared, 100);
    producer.sendEndEvent(undeclared, 200);
    producer.sendStartEvent(door, 300);
    producer.sendEndEvent(door, 400);
    EXPECT_EQ(eventlog::read(root, "send"),
              (Lines{"send Camera1Profile1 1", "send Camera1ProfileANY 1", "send CameraANY 1",
                     "send Camera1Profile1 0", "send Camera1ProfileANY 0", "send CameraANY 0"}));
    producer.unregisterEvent(door);
}

TEST_F(MultiChannelEventsTest, OnvifEventOfASecondChannelNamesTheCameraAndItsIndex) {
    ONVIF_StateEventProducer onvif;
    const auto handle = onvif.registerEvent(2, "DwellwatchGuard");
    EXPECT_EQ(handle.key, "DwellwatchGuard (Back)_ONVIFCamera2");
    onvif.sendStartEvent(handle, 100);
    onvif.sendEndEvent(handle, 200);
    EXPECT_EQ(eventlog::read(root),
              (Lines{"declare MotionAlarm:1", "send MotionAlarm:1 1", "send MotionAlarm:1 0"}));
    onvif.unregisterEvent(handle);
}

}  // namespace
