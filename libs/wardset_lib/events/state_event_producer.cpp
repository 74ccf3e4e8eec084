#include "events/state_event_producer.h"

#include <syslog.h>

#include <utility>

#include "base/camera_info.h"
#include "base/sdk_wrapper.h"
#include "events/event_names.h"

namespace {

constexpr int kGlobalIndex = 0;

bool declareStateEvent(const std::string& key, const std::string& name,
                       const std::string& niceName) {
    return sdk_wrapper_event_add(key.c_str(), name.c_str(), niceName.c_str(), SDK_EVENT_STATEFUL,
                                 nullptr) == 1;
}

bool sendState(const std::string& key, bool active, const int64_t* time) {
    return sdk_wrapper_event_send(key.c_str(), active ? 1 : 0, nullptr, time) == 1;
}

void removeProfileEvent(const std::string& key, int camera) {
    if (sdk_wrapper_event_remove(key.c_str()) != 1) {
        syslog(LOG_WARNING, "FAILED to unregister event for Camera %d\n", camera);
    }
}

}  // namespace

StateEventProducer::StateEventProducer(std::string name)
    : m_activeCount(1, 0), m_anyKeys(1), m_anyActive(1, false), m_name(std::move(name)) {}

StateEventProducerHandle StateEventProducer::registerEvent(int camera, const std::string& name,
                                                           const std::string& niceName) {
    StateEventProducerHandle handle;
    handle.camera = camera;
    if (camera < 1) {
        syslog(LOG_CRIT, "FAILED to create event %s \n", name.c_str());
        return handle;
    }
    const size_t entries = static_cast<size_t>(camera) + 1;
    if (m_activeCount.size() < entries) {
        m_activeCount.resize(entries, 0);
        m_anyKeys.resize(entries);
        m_anyActive.resize(entries, false);
    }
    const std::string key = utils::generateEventLookupKey(niceName, name);
    const bool multiCamera = CameraInfo::isMultiCamera();
    const bool eventDeclared = declareStateEvent(key, name, niceName);
    const bool anyDeclared = declareAnyEvents(camera);
    const bool globalDeclared = multiCamera && declareGlobalAnyEvent();
    if (eventDeclared && anyDeclared && globalDeclared == multiCamera) {
        handle.key = key;
        return handle;
    }
    syslog(LOG_CRIT, "FAILED to create event %s \n", name.c_str());
    // Only this registration's own declarations are dropped: a failed one may
    // have met a declaration of the same key that belongs to someone else.
    if (eventDeclared) {
        removeProfileEvent(key, camera);
    }
    if (anyDeclared) {
        removeAnyEvents(camera);
    }
    if (globalDeclared) {
        removeGlobalAnyEvent();
    }
    return handle;
}

bool StateEventProducer::declareAnyEvents(int camera) {
    const std::string name = utils::generateAnyEventName(camera);
    const std::string niceName = utils::generateEventNiceName(m_name, "Any Profile", camera);
    m_anyKeys[static_cast<size_t>(camera)] = utils::generateEventLookupKey(niceName, name);
    if (!declareStateEvent(m_anyKeys[static_cast<size_t>(camera)], name, niceName)) {
        syslog(LOG_CRIT, "FAILED to create any event %s \n", name.c_str());
        return false;
    }
    return true;
}

bool StateEventProducer::declareGlobalAnyEvent() {
    const std::string name = utils::generateGlobalEventName();
    const std::string niceName = utils::generateEventNiceName(m_name, "Any Camera", kGlobalIndex);
    m_anyKeys[kGlobalIndex] = utils::generateEventLookupKey(niceName, name);
    if (!declareStateEvent(m_anyKeys[kGlobalIndex], name, niceName)) {
        syslog(LOG_CRIT, "FAILED to create any global event %s \n", name.c_str());
        return false;
    }
    return true;
}

void StateEventProducer::unregisterEvent(const StateEventProducerHandle& handle) {
    if (!isUsable(handle)) {
        return;
    }
    removeProfileEvent(handle.key, handle.camera);
    removeAnyEvents(handle.camera);
    if (CameraInfo::isMultiCamera()) {
        removeGlobalAnyEvent();
    }
}

void StateEventProducer::removeAnyEvents(int camera) {
    if (sdk_wrapper_event_remove(m_anyKeys[static_cast<size_t>(camera)].c_str()) != 1) {
        syslog(LOG_WARNING, "FAILED to remove event %s \n",
               utils::generateAnyEventName(camera).c_str());
    }
}

void StateEventProducer::removeGlobalAnyEvent() {
    if (sdk_wrapper_event_remove(m_anyKeys[kGlobalIndex].c_str()) != 1) {
        syslog(LOG_WARNING, "FAILED to remove event %s \n",
               utils::generateGlobalEventName().c_str());
    }
}

bool StateEventProducer::isUsable(const StateEventProducerHandle& handle) const {
    return handle.isValid() && handle.camera > 0 &&
           static_cast<size_t>(handle.camera) < m_activeCount.size();
}

void StateEventProducer::sendStartEvent(const StateEventProducerHandle& handle,
                                        const int64_t& time) {
    if (!isUsable(handle)) {
        return;
    }
    if (!sendState(handle.key, true, &time)) {
        syslog(LOG_WARNING, "FAILED to send event\n");
        return;
    }
    ++m_activeCount[static_cast<size_t>(handle.camera)];
    updateAnyEvents(handle.camera, &time);
}

void StateEventProducer::sendEndEvent(const StateEventProducerHandle& handle, const int64_t& time) {
    sendEnd(handle, &time);
}

void StateEventProducer::sendEndEvent(const StateEventProducerHandle& handle) {
    sendEnd(handle, nullptr);
}

void StateEventProducer::sendEnd(const StateEventProducerHandle& handle, const int64_t* time) {
    if (!isUsable(handle)) {
        return;
    }
    int& count = m_activeCount[static_cast<size_t>(handle.camera)];
    if (count > 0) {
        if (sendState(handle.key, false, time)) {
            --count;
        } else {
            syslog(LOG_WARNING, "FAILED to send end event\n");
        }
    }
    updateAnyEvents(handle.camera, time);
}

void StateEventProducer::updateAnyEvents(int camera, const int64_t* time) {
    const size_t index = static_cast<size_t>(camera);
    const bool cameraActive = m_activeCount[index] > 0;
    if (cameraActive != m_anyActive[index]) {
        if (sendState(m_anyKeys[index], cameraActive, time)) {
            m_anyActive[index] = cameraActive;
            m_activeCount[kGlobalIndex] += cameraActive ? 1 : -1;
        } else if (cameraActive) {
            syslog(LOG_WARNING, "FAILED to send Camera %d Any event\n", camera);
        } else {
            syslog(LOG_WARNING, "FAILED to send end Camera Any event\n");
        }
    }
    if (!CameraInfo::isMultiCamera()) {
        return;
    }
    const bool anyCameraActive = m_activeCount[kGlobalIndex] > 0;
    if (anyCameraActive != m_anyActive[kGlobalIndex]) {
        if (sendState(m_anyKeys[kGlobalIndex], anyCameraActive, time)) {
            m_anyActive[kGlobalIndex] = anyCameraActive;
        } else if (anyCameraActive) {
            syslog(LOG_WARNING, "FAILED to send Global Any event\n");
        } else {
            syslog(LOG_WARNING, "FAILED to send end Global Any event\n");
        }
    }
}
