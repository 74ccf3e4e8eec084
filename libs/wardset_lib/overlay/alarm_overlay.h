#pragma once

#include <cstdint>

#include "overlay/alarm_overlay_configuration.h"
#include "overlay/alarm_overlay_message.h"

class AlarmDataContainer;
class AlarmOverlayHandler;

// The alarm overlay of the process: boxes around the objects in alarm drawn
// into the video streams through the device's overlay service. Everything is
// guarded by one recursive lock, taken after the camera locks. A failure while
// drawing tears the working state down and rebuilds it every
// kFramesBeforeReset frames until it works again.
class AlarmOverlay {
  public:
    static constexpr int kFramesBeforeReset = 25;

    AlarmOverlay() = delete;

    // Starts following streams and overlays and builds the working state, on
    // devices that offer the overlay; a failure leaves everything stopped.
    static void enableIfSupported();
    static void disable();
    static bool isEnabled();
    // One frame of camera 1; frameTime in microseconds of the monotonic clock.
    static void handleAlarmResult(const AlarmDataContainer& alarms, int64_t frameTime);
    static void setNewConfiguration(const AlarmOverlayConfiguration& configuration);
    // The listeners' callback.
    static void handleMessage(const AlarmOverlayMessage& message);
    // Both services are on the system bus.
    static bool doDBusNamesExist();

  private:
    struct PendingReset;
    struct State;

    static void enable();
    static void stopListening();
    static void resetAfterFailure(const char* what);
    static void countTowardsReset();
    static void replayStreamsAndOverlays();

    // Never destroyed: the listeners' thread may call in while the process
    // ends.
    static State* const s_state;
};
