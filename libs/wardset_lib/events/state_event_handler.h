#pragma once

#include <cstdint>
#include <string>

#include "base/timer.h"
#include "events/state_event_producer_i.h"

// Turns a guard's per-frame alarm decision into start and end events: the
// event starts on the first alarm frame and ends on the first frame without
// alarm that comes more than the minimum duration after the last alarm frame.
// Registers the profile's event on construction and unregisters it (ending it
// first if it is ongoing) on destruction.
class StateEventHandler {
  public:
    // Results of handleAlarm.
    static constexpr int kStartSent = 0;
    static constexpr int kEndSent = 1;
    static constexpr int kNothingSent = 2;

    StateEventHandler(int camera, int uid, const std::string& guardTypeName,
                      const std::string& profileName, int64_t minDuration,
                      StateEventProducerI& producer);
    ~StateEventHandler();
    StateEventHandler(const StateEventHandler&) = delete;
    StateEventHandler& operator=(const StateEventHandler&) = delete;

    int handleAlarm(bool alarm, const int64_t& now);
    bool isOngoing() const { return m_ongoing; }
    // True when an ongoing event has gone the minimum duration without alarm.
    bool hasReachedEnd(const int64_t& now) const;
    // Ends an ongoing event at now.
    void stopAllEvents(const int64_t& now);
    // Times begin anew: an ongoing event counts its minimum duration from now.
    void restartTimer(const int64_t& now);

  private:
    StateEventProducerI& m_producer;
    StateEventProducerHandle m_handle;
    bool m_ongoing = false;
    Timer m_timer;
};
