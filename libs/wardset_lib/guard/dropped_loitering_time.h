#pragma once

#include <cstdint>

#include "geometry/point.h"

// The loitering time an object left behind when it vanished inside an area,
// for a new object appearing near the spot to take over.
struct DroppedLoiteringTime {
    int64_t loiteringTime;  // microseconds
    int64_t droppedTime;    // frame time of the vanishing
    Point position;         // the vanished object's centroid
};
