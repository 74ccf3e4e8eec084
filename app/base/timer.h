#pragma once

#include <cstdint>

// A one-shot elapsed-time check. The unit is the caller's; all callers use
// microseconds of the monotonic clock.
class Timer {
  public:
    explicit Timer(int64_t duration) : m_duration(duration) {}

    // Starts the timer at now, unless it is running already.
    void start(const int64_t& now);
    // Starts the timer at now, also when it is running.
    void restart(const int64_t& now);
    void stop() { m_running = false; }
    bool isRunning() const { return m_running; }

    // True when running and more than the duration has passed since the start.
    bool reachedEnd(const int64_t& now) const;

  private:
    bool m_running = false;
    int64_t m_startTime = 0;
    int64_t m_duration;
};
