#include "events/motion_level_event_producer.h"

#include <glib.h>
#include <syslog.h>

#include <algorithm>

#include "base/convert.h"
#include "base/sdk_wrapper.h"

namespace {

constexpr double kWholeView = 67108864.0;  // 8192 x 8192
constexpr int kDeclarationFlags = SDK_EVENT_QUIET_FIRST_SEND_FAILURES | SDK_EVENT_APPLICATION_DATA;
constexpr const char* kDataKey = "motionlevel";
constexpr int kDigits = 4;

}  // namespace

MotionLevelEventProducer::MotionLevelEventProducer(int camera, int64_t period)
    : m_name("Camera" + std::to_string(camera) + "MotionLevel"), m_timer(period) {}

MotionLevelEventProducer::~MotionLevelEventProducer() {
    if (m_declared && sdk_wrapper_event_remove(m_name.c_str()) != 1) {
        syslog(LOG_WARNING, "sdk_wrapper_event_remove failed when removing motion level event.\n");
    }
}

void MotionLevelEventProducer::sendEvent(int level, const int64_t& time) {
    if (!m_active || (!m_declared && !declare())) {
        return;
    }
    m_max = std::max(m_max, level);
    if (m_timer.reachedEnd(g_get_monotonic_time())) {
        report(time);
    }
}

bool MotionLevelEventProducer::declare() {
    m_timer.restart(g_get_monotonic_time());
    if (sdk_wrapper_event_add(m_name.c_str(), m_name.c_str(), m_name.c_str(), kDeclarationFlags,
                              kDataKey) != 1) {
        syslog(LOG_WARNING, "FAILED to create event %s \n", m_name.c_str());
        return false;
    }
    m_declared = true;
    return true;
}

void MotionLevelEventProducer::report(const int64_t& time) {
    // Overlapping objects can add up to more than the whole view.
    const double share = std::clamp(m_max / kWholeView, 0.0, 1.0);
    const std::string value = Convert::doubleToString(share * 100, kDigits);
    if (sdk_wrapper_event_send(m_name.c_str(), 0, value.c_str(), &time) != 1) {
        syslog(LOG_WARNING, "FAILED to send motion level event\n");
        return;
    }
    m_max = -1;
    m_timer.restart(g_get_monotonic_time());
}
