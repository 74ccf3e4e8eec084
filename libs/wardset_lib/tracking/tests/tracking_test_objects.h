#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "geometry/polygon.h"
#include "tracking/mote_object.h"
#include "tracking/tracking_object.h"
#include "tracking/tracking_object_external_data.h"

// A scene object with a rectangular outline.
inline MoteObject rectangleMote(int id, int64_t timestamp, int minX, int maxX, int minY, int maxY,
                                MoteVelocity velocity = {}, bool confident = true) {
    return MoteObject(id, timestamp, velocity, std::make_unique<Polygon>(minX, maxX, minY, maxY),
                      nullptr, confident);
}

inline std::unique_ptr<TrackingObject> trackedRectangle(int id, int64_t timestamp, int minX,
                                                        int maxX, int minY, int maxY,
                                                        int rotation = 0) {
    return std::make_unique<TrackingObject>(rectangleMote(id, timestamp, minX, maxX, minY, maxY),
                                            rotation, 1.0f);
}

// A record with the loitering merge rule: the earlier update time and the
// larger loitering time win.
class LoiteringRecord : public TrackingObjectExternalData {
  public:
    LoiteringRecord(int64_t lastUpdate, int64_t loiteringTime) {
        insert("lastUpdateTime", lastUpdate);
        insert("loiteringTime", loiteringTime);
    }

    std::unique_ptr<TrackingObjectExternalData> clone() const override {
        return std::make_unique<LoiteringRecord>(*this);
    }
    void merge(const TrackingObjectExternalData& other) override {
        insert("lastUpdateTime", std::min(lastUpdate(), other.getTimeVal("lastUpdateTime", 0)));
        insert("loiteringTime", std::max(loiteringTime(), other.getTimeVal("loiteringTime", 0)));
    }

    int64_t lastUpdate() const { return getTimeVal("lastUpdateTime", -1); }
    int64_t loiteringTime() const { return getTimeVal("loiteringTime", -1); }
};

inline const LoiteringRecord* loiteringOf(const TrackingObject& object, const char* key) {
    return dynamic_cast<const LoiteringRecord*>(object.getData(key));
}
