#include "events/onvif_state_event_producer.h"

#include <gtest/gtest.h>

#include "event_log.h"
#include "platform_events_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class OnvifStateEventProducerTest : public PlatformEventsFixture {
  protected:
    ONVIF_StateEventProducer producer;
};

TEST_F(OnvifStateEventProducerTest, CameraOneIsDeclaredOnChannelIndexZero) {
    const auto handle = producer.registerEvent(1, "DwellwatchGuard");
    EXPECT_EQ(handle.key, "DwellwatchGuard_ONVIFCamera1");
    EXPECT_EQ(eventlog::read(root), Lines{"declare MotionAlarm:0"});
    producer.unregisterEvent(handle);
    EXPECT_EQ(eventlog::waitForLines(root, 2),
              (Lines{"declare MotionAlarm:0", "undeclare MotionAlarm:0"}));
}

TEST_F(OnvifStateEventProducerTest, ProfilesOfOneCameraShareOneEventActiveWhileAnyIsInAlarm) {
    const auto first = producer.registerEvent(2, "DwellwatchGuard");
    const auto second = producer.registerEvent(2, "DwellwatchGuard");
    EXPECT_EQ(first, second);
    producer.sendStartEvent(first, 100);
    producer.sendStartEvent(second, 200);
    producer.sendEndEvent(first, 300);
    producer.sendEndEvent(second, 400);
    // More ends than starts change nothing.
    producer.sendEndEvent(second);
    EXPECT_EQ(eventlog::read(root),
              (Lines{"declare MotionAlarm:1", "send MotionAlarm:1 1", "send MotionAlarm:1 0"}));
    // One declaration per registration: the first removal keeps the event.
    producer.unregisterEvent(first);
    g_usleep(100000);
    EXPECT_EQ(eventlog::read(root, "undeclare"), Lines{});
    producer.unregisterEvent(second);
    EXPECT_EQ(eventlog::waitForLines(root, 4).back(), "undeclare MotionAlarm:1");
}

TEST_F(OnvifStateEventProducerTest, InvalidHandlesAndUnknownCamerasSendNothing) {
    producer.adjustNbrCameras(1);
    producer.sendStartEvent(StateEventProducerHandle{}, 100);
    producer.sendStartEvent(StateEventProducerHandle{"DwellwatchGuard_ONVIFCamera4", 4}, 100);
    EXPECT_FALSE(producer.registerEvent(0, "DwellwatchGuard").isValid());
    EXPECT_EQ(eventlog::read(root), Lines{});
}

}  // namespace
