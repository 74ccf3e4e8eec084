#pragma once

#include <cstdint>
#include <string>

#include "base/timer.h"

// Publishes, for one camera, the largest share of the view covered by moving
// objects within each period, in percent. Inactive until started; the event
// is declared with the first frame seen while active. Used by one thread.
class MotionLevelEventProducer {
  public:
    // period: microseconds between two reports.
    MotionLevelEventProducer(int camera, int64_t period);
    ~MotionLevelEventProducer();
    MotionLevelEventProducer(const MotionLevelEventProducer&) = delete;
    MotionLevelEventProducer& operator=(const MotionLevelEventProducer&) = delete;

    void start() { m_active = true; }
    void stop() { m_active = false; }
    bool isActive() const { return m_active; }

    // level: the summed area of the frame's objects in view coordinates, where
    // the whole view is 8192 x 8192. time: the frame's monotonic time.
    void sendEvent(int level, const int64_t& time);

  private:
    bool declare();
    void report(const int64_t& time);

    std::string m_name;
    Timer m_timer;
    int m_max = -1;  // largest level since the last report, -1 for none
    bool m_declared = false;
    bool m_active = false;
};
