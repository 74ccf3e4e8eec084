#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "events/state_event_producer_handle.h"

// Declares and sends the stateful profile events of the cameras together with
// the "Any" events that aggregate them: per camera an "Any Profile" event that
// is active while any profile of the camera is, and on multi-channel devices
// one "Any Camera" event that is active while any camera's "Any Profile" is.
// Not thread-safe: its owner serialises the calls.
class StateEventProducer {
  public:
    // name prefixes the nice names of the "Any" events.
    explicit StateEventProducer(std::string name);

    // Declares the event and the "Any" events it feeds. The handle's key is
    // "invalid" when a declaration failed (nothing then stays declared) or the
    // camera number is below 1.
    StateEventProducerHandle registerEvent(int camera, const std::string& name,
                                           const std::string& niceName);
    // Drops the declarations taken by registerEvent.
    void unregisterEvent(const StateEventProducerHandle& handle);
    void sendStartEvent(const StateEventProducerHandle& handle, const int64_t& time);
    void sendEndEvent(const StateEventProducerHandle& handle, const int64_t& time);
    void sendEndEvent(const StateEventProducerHandle& handle);

  private:
    bool declareAnyEvents(int camera);
    bool declareGlobalAnyEvent();
    void removeAnyEvents(int camera);
    void removeGlobalAnyEvent();
    bool isUsable(const StateEventProducerHandle& handle) const;
    void sendEnd(const StateEventProducerHandle& handle, const int64_t* time);
    // Brings the camera's "Any Profile" event and the "Any Camera" event in
    // line with the counts; a failed send is tried again by the next call.
    void updateAnyEvents(int camera, const int64_t* time);

    // Index 0: cameras whose "Any Profile" event is active; index n: active
    // profile events of camera n.
    std::vector<int> m_activeCount;
    // Index 0: key of the "Any Camera" event; index n: key of camera n's
    // "Any Profile" event.
    std::vector<std::string> m_anyKeys;
    // Whether the "Any" event of the same index was last sent as active.
    std::vector<bool> m_anyActive;
    std::string m_name;
};
