#include "timer.h"

void Timer::start(const int64_t& now) {
    if (!m_running) {
        restart(now);
    }
}

void Timer::restart(const int64_t& now) {
    m_startTime = now;
    m_running = true;
}

bool Timer::reachedEnd(const int64_t& now) const {
    return m_running && now - m_startTime > m_duration;
}
