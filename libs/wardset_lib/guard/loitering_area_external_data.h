#pragma once

#include <cstdint>
#include <memory>

#include "tracking/tracking_object_external_data.h"

// An object's time in one loitering area, kept on the object. When two
// objects merge, the earlier update time and the longer loitering time win.
class LoiteringAreaExternalData : public TrackingObjectExternalData {
  public:
    // lastUpdateTime: the frame time of creation, microseconds.
    explicit LoiteringAreaExternalData(int64_t lastUpdateTime) : m_lastUpdateTime(lastUpdateTime) {}

    std::unique_ptr<TrackingObjectExternalData> clone() const override;
    // other must be a LoiteringAreaExternalData (std::bad_cast otherwise).
    void merge(const TrackingObjectExternalData& other) override;

    int64_t getLastUpdateTime() const { return m_lastUpdateTime; }
    void setLastUpdateTime(int64_t time) { m_lastUpdateTime = time; }
    int64_t getLoiteringTime() const { return m_loiteringTime; }
    void setLoiteringTime(int64_t time) { m_loiteringTime = time; }

  private:
    int64_t m_lastUpdateTime;
    int64_t m_loiteringTime = 0;
};
