#pragma once

#include "events/state_event_producer_handle.h"

// A registered profile event: its handle with the state event producer and
// the handle of the ONVIF event that mirrors it.
struct HandleGroup {
    StateEventProducerHandle stateHandle;
    StateEventProducerHandle onvifHandle;
};
