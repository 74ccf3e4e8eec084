#pragma once

#include <cstdint>
#include <functional>

// One observer of the interval timer service: a callback that is called with
// the observer's id whenever its interval has passed.
class IntervalTimerObserverData {
  public:
    using Callback = std::function<void(int)>;

    // The first notification is due one interval from now.
    IntervalTimerObserverData(int id, int64_t interval, Callback callback);
    virtual ~IntervalTimerObserverData() = default;

    int id() const { return m_id; }
    int64_t nextNotificationTime() const { return m_nextNotificationTime; }

    // Calls the callback and schedules the next notification.
    void notify();
    // The next notification becomes due one interval from now.
    void updateNotificationTime();

  private:
    int m_id;
    int64_t m_interval;
    int64_t m_nextNotificationTime = 0;
    Callback m_callback;
};
