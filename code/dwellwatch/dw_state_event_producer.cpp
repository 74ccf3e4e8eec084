#include "dw_state_event_producer.h"

#include <syslog.h>

#include <algorithm>

namespace {

constexpr const char* kProducerName = "Dwellwatch";
constexpr const char* kOnvifEventName = "DwellwatchGuard";

}  // namespace

DW_StateEventProducer& DW_StateEventProducer::getInstance() {
    // Never destroyed: guards may still end their events while the process exits.
    static DW_StateEventProducer* const s_instance = new DW_StateEventProducer();
    return *s_instance;
}

DW_StateEventProducer::DW_StateEventProducer() : m_stateProducer(kProducerName) {}

StateEventProducerHandle DW_StateEventProducer::registerEvent(int camera,
                                                              const std::string& /*profileName*/,
                                                              const std::string& eventName,
                                                              const std::string& niceName) {
    const Lock lock(m_mutex);
    const StateEventProducerHandle handle =
        m_stateProducer.registerEvent(camera, eventName, niceName);
    if (handle.isValid()) {
        m_groups.push_back({handle, m_onvifProducer.registerEvent(camera, kOnvifEventName)});
    }
    return handle;
}

void DW_StateEventProducer::unregisterEvent(const StateEventProducerHandle& handle) {
    const Lock lock(m_mutex);
    const auto group = findGroup(handle);
    if (group == m_groups.end()) {
        syslog(LOG_WARNING,
               "Could not unregister event, StateEventProducerHandle: %s is not stored\n",
               handle.key.c_str());
        return;
    }
    m_stateProducer.unregisterEvent(group->stateHandle);
    m_onvifProducer.unregisterEvent(group->onvifHandle);
    m_groups.erase(group);
}

void DW_StateEventProducer::sendStartEvent(const StateEventProducerHandle& handle,
                                           const int64_t& time) {
    const Lock lock(m_mutex);
    const auto group = findGroup(handle);
    if (group == m_groups.end()) {
        syslog(LOG_WARNING,
               "Could not send start event, StateEventProducerHandle: %s is not stored\n",
               handle.key.c_str());
        return;
    }
    m_stateProducer.sendStartEvent(group->stateHandle, time);
    m_onvifProducer.sendStartEvent(group->onvifHandle, time);
}

void DW_StateEventProducer::sendEndEvent(const StateEventProducerHandle& handle,
                                         const int64_t& time) {
    sendEnd(handle, &time);
}

void DW_StateEventProducer::sendEndEvent(const StateEventProducerHandle& handle) {
    sendEnd(handle, nullptr);
}

void DW_StateEventProducer::sendEnd(const StateEventProducerHandle& handle, const int64_t* time) {
    const Lock lock(m_mutex);
    const auto group = findGroup(handle);
    if (group == m_groups.end()) {
        syslog(LOG_WARNING,
               "Could not end send event, StateEventProducerHandle: %s is not stored\n",
               handle.key.c_str());
        return;
    }
    if (time != nullptr) {
        m_stateProducer.sendEndEvent(group->stateHandle, *time);
        m_onvifProducer.sendEndEvent(group->onvifHandle, *time);
    } else {
        m_stateProducer.sendEndEvent(group->stateHandle);
        m_onvifProducer.sendEndEvent(group->onvifHandle);
    }
}

DW_StateEventProducer::GroupList::iterator DW_StateEventProducer::findGroup(
    const StateEventProducerHandle& handle) {
    if (!handle.isValid()) {
        return m_groups.end();
    }
    return std::find_if(m_groups.begin(), m_groups.end(), [&handle](const HandleGroup& group) {
        return group.stateHandle == handle;
    });
}
