#pragma once

#include <cstdint>

#include "filters/exclusion_filter.h"

// Rejects objects seen for less than a minimum time.
class ObjectLifetimeFilter : public ExclusionFilter {
  public:
    // minLifetime in microseconds.
    ObjectLifetimeFilter(int64_t minLifetime, bool active);

    bool canObjectTriggerAlarm(TrackingObject& object) override;
    std::unique_ptr<ExclusionFilter> clone() const override;
    void updateFilterData(TrackingObject& object) override;

  private:
    int64_t m_minLifetime;
    bool m_active;
};
