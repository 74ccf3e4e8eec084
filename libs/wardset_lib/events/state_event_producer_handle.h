#pragma once

#include <string>

#include "base/constants.h"

// What an event producer hands out for one registered event: the event's
// lookup key ("invalid" when registration failed) and its camera.
struct StateEventProducerHandle {
    std::string key = constants::kInvalidMarker;
    int camera = -1;

    bool isValid() const { return key != constants::kInvalidMarker; }
    bool operator==(const StateEventProducerHandle& other) const {
        return key == other.key && camera == other.camera;
    }
};
