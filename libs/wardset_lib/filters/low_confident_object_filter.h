#pragma once

#include "filters/exclusion_filter.h"

// Rejects objects whose confidence flag is cleared.
class LowConfidentObjectFilter : public ExclusionFilter {
  public:
    bool canObjectTriggerAlarm(TrackingObject& object) override;
    std::unique_ptr<ExclusionFilter> clone() const override;
    void updateFilterData(TrackingObject& object) override;
};
