#include "events/onvif_state_event_producer.h"

#include "base/sdk_wrapper.h"
#include "events/event_names.h"

namespace {

constexpr int kInactive = 0;
constexpr int kActive = 1;

}  // namespace

StateEventProducerHandle ONVIF_StateEventProducer::registerEvent(int camera,
                                                                 const std::string& name) {
    StateEventProducerHandle handle;
    handle.camera = camera;
    if (camera < 1) {
        return handle;
    }
    adjustNbrCameras(camera);
    const std::string eventName = "ONVIFCamera" + std::to_string(camera);
    const std::string key =
        utils::generateEventLookupKey(utils::appendCameraName(name, camera), eventName);
    if (sdk_wrapper_event_add_onvif_motion_alarm_event(key.c_str(), camera - 1, kInactive) == 1) {
        handle.key = key;
    }
    return handle;
}

void ONVIF_StateEventProducer::sendStartEvent(const StateEventProducerHandle& handle,
                                              const int64_t& time) {
    int* count = activeCountOf(handle);
    if (count == nullptr) {
        return;
    }
    if (*count == 0) {
        sdk_wrapper_onvif_motion_alarm_event_send(handle.key.c_str(), kActive, &time);
    }
    ++*count;
}

void ONVIF_StateEventProducer::sendEndEvent(const StateEventProducerHandle& handle,
                                            const int64_t& time) {
    sendEnd(handle, &time);
}

void ONVIF_StateEventProducer::sendEndEvent(const StateEventProducerHandle& handle) {
    sendEnd(handle, nullptr);
}

void ONVIF_StateEventProducer::sendEnd(const StateEventProducerHandle& handle,
                                       const int64_t* time) {
    int* count = activeCountOf(handle);
    if (count == nullptr || *count <= 0) {
        return;
    }
    if (*count == 1) {
        sdk_wrapper_onvif_motion_alarm_event_send(handle.key.c_str(), kInactive, time);
    }
    --*count;
}

void ONVIF_StateEventProducer::unregisterEvent(const StateEventProducerHandle& handle) {
    if (handle.isValid()) {
        sdk_wrapper_event_remove(handle.key.c_str());
    }
}

void ONVIF_StateEventProducer::adjustNbrCameras(int n) {
    if (n >= 0 && m_activeCount.size() < static_cast<size_t>(n) + 1) {
        m_activeCount.resize(static_cast<size_t>(n) + 1, 0);
    }
}

int* ONVIF_StateEventProducer::activeCountOf(const StateEventProducerHandle& handle) {
    if (!handle.isValid() || handle.camera < 0 ||
        static_cast<size_t>(handle.camera) >= m_activeCount.size()) {
        return nullptr;
    }
    return &m_activeCount[static_cast<size_t>(handle.camera)];
}
