#include "interval_timer_observer_data.h"

#include <glib.h>

#include <utility>

IntervalTimerObserverData::IntervalTimerObserverData(int id, int64_t interval, Callback callback)
    : m_id(id), m_interval(interval), m_callback(std::move(callback)) {
    updateNotificationTime();
}

void IntervalTimerObserverData::notify() {
    m_callback(m_id);
    updateNotificationTime();
}

void IntervalTimerObserverData::updateNotificationTime() {
    m_nextNotificationTime = g_get_monotonic_time() + m_interval;
}
