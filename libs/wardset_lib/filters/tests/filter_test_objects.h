#pragma once

#include <cstdint>
#include <memory>

#include "geometry/point.h"
#include "geometry/polygon.h"
#include "tracking/mote_object.h"
#include "tracking/tracking_object.h"

// A scene object with a width x height rectangle centred at centre.
inline MoteObject moteAt(int64_t timestamp, Point centre, int16_t width = 100, int16_t height = 100,
                         bool confident = true) {
    return MoteObject(1, timestamp, MoteVelocity{},
                      std::make_unique<Polygon>(centre, width, height), nullptr, confident);
}

inline std::unique_ptr<TrackingObject> trackedAt(Point centre, int16_t width = 100,
                                                 int16_t height = 100, int rotation = 0) {
    return std::make_unique<TrackingObject>(moteAt(0, centre, width, height), rotation, 1.0f);
}
