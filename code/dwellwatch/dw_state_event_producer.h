#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "events/handle_group.h"
#include "events/onvif_state_event_producer.h"
#include "events/state_event_producer.h"
#include "events/state_event_producer_i.h"

// The process-wide publisher of this product's alarm events: every profile
// event with its "Any" aggregates, mirrored by the camera's ONVIF motion
// alarm. Shared by the guards of all cameras; every operation is serialised.
class DW_StateEventProducer : public StateEventProducerI {
  public:
    // Created on first use; lives until the process ends.
    static DW_StateEventProducer& getInstance();

    DW_StateEventProducer(const DW_StateEventProducer&) = delete;
    DW_StateEventProducer& operator=(const DW_StateEventProducer&) = delete;

    StateEventProducerHandle registerEvent(int camera, const std::string& profileName,
                                           const std::string& eventName,
                                           const std::string& niceName) override;
    void unregisterEvent(const StateEventProducerHandle& handle) override;
    void sendStartEvent(const StateEventProducerHandle& handle, const int64_t& time) override;
    void sendEndEvent(const StateEventProducerHandle& handle, const int64_t& time) override;
    void sendEndEvent(const StateEventProducerHandle& handle) override;

  private:
    using Lock = std::lock_guard<std::recursive_mutex>;

    DW_StateEventProducer();
    ~DW_StateEventProducer() override = default;

    using GroupList = std::vector<HandleGroup>;

    // The oldest group registered for the handle, or the end of the list;
    // invalid handles are never stored.
    GroupList::iterator findGroup(const StateEventProducerHandle& handle);
    void sendEnd(const StateEventProducerHandle& handle, const int64_t* time);

    std::recursive_mutex m_mutex;
    StateEventProducer m_stateProducer;
    ONVIF_StateEventProducer m_onvifProducer;
    GroupList m_groups;  // in registration order
};
