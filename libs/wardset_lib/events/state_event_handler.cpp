#include "events/state_event_handler.h"

#include "events/event_names.h"

StateEventHandler::StateEventHandler(int camera, int uid, const std::string& guardTypeName,
                                     const std::string& profileName, int64_t minDuration,
                                     StateEventProducerI& producer)
    : m_producer(producer), m_timer(minDuration) {
    const std::string name = utils::generateEventName(camera, uid);
    const std::string niceName = utils::generateEventNiceName(guardTypeName, profileName, camera);
    m_handle = m_producer.registerEvent(camera, profileName, name, niceName);
}

StateEventHandler::~StateEventHandler() {
    if (m_ongoing) {
        m_producer.sendEndEvent(m_handle);
    }
    m_producer.unregisterEvent(m_handle);
}

int StateEventHandler::handleAlarm(bool alarm, const int64_t& now) {
    if (alarm) {
        m_timer.restart(now);
        if (!m_ongoing) {
            m_ongoing = true;
            m_producer.sendStartEvent(m_handle, now);
            return kStartSent;
        }
        return kNothingSent;
    }
    if (hasReachedEnd(now)) {
        m_ongoing = false;
        m_producer.sendEndEvent(m_handle, now);
        return kEndSent;
    }
    return kNothingSent;
}

bool StateEventHandler::hasReachedEnd(const int64_t& now) const {
    return m_ongoing && m_timer.reachedEnd(now);
}

void StateEventHandler::restartTimer(const int64_t& now) {
    if (m_ongoing) {
        m_timer.restart(now);
    }
}

void StateEventHandler::stopAllEvents(const int64_t& now) {
    if (m_ongoing) {
        m_producer.sendEndEvent(m_handle, now);
        m_ongoing = false;
    }
    m_timer.stop();
}
