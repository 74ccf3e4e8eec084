#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "events/state_event_producer_handle.h"

// Mirrors the profile alarms as the platform's ONVIF motion alarm: one event
// per camera, shared by all its profiles, active while any of them is.
// Not thread-safe: its owner serialises the calls.
class ONVIF_StateEventProducer {
  public:
    // Declares camera's event (nice name: name, plus the camera's name on a
    // multi-channel device). The key is "invalid" when the declaration fails
    // or the camera number is below 1.
    StateEventProducerHandle registerEvent(int camera, const std::string& name);
    void sendStartEvent(const StateEventProducerHandle& handle, const int64_t& time);
    void sendEndEvent(const StateEventProducerHandle& handle, const int64_t& time);
    void sendEndEvent(const StateEventProducerHandle& handle);
    // Drops the declaration taken by registerEvent; the counts are kept.
    void unregisterEvent(const StateEventProducerHandle& handle);
    // Makes room for cameras 1 to n.
    void adjustNbrCameras(int n);

  private:
    void sendEnd(const StateEventProducerHandle& handle, const int64_t* time);
    // The count of the handle's camera, or null for an unusable handle.
    int* activeCountOf(const StateEventProducerHandle& handle);

    // Index n: profiles of camera n whose alarm is active.
    std::vector<int> m_activeCount;
};
