#pragma once

#include <cstdint>
#include <string>

#include "events/state_event_producer_handle.h"

// Publisher of stateful alarm events. Times are microseconds of the
// monotonic clock; an end event without a time carries the current time.
class StateEventProducerI {
  public:
    virtual ~StateEventProducerI() = default;

    virtual StateEventProducerHandle registerEvent(int camera, const std::string& profileName,
                                                   const std::string& eventName,
                                                   const std::string& niceName) = 0;
    virtual void unregisterEvent(const StateEventProducerHandle& handle) = 0;
    virtual void sendStartEvent(const StateEventProducerHandle& handle, const int64_t& time) = 0;
    virtual void sendEndEvent(const StateEventProducerHandle& handle, const int64_t& time) = 0;
    virtual void sendEndEvent(const StateEventProducerHandle& handle) = 0;
};
