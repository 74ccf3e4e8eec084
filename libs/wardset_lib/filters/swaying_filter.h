#pragma once

#include <cstdint>
#include <string>

#include "filters/exclusion_filter.h"

class TrackingObjectExternalData;

// Rejects swaying objects (branches, flags): an object counts as swaying
// until it has once moved farther than a configured distance from a
// reference point, which is moved to the object whenever it comes back within
// a fifth of its largest excursion. Once it has, it stays accepted.
class SwayingFilter : public ExclusionFilter {
  public:
    // distancePercent: the distance in percent of the full image; uid: the
    // profile id that keys the filter's per-object records.
    SwayingFilter(int distancePercent, int uid, bool active);

    bool canObjectTriggerAlarm(TrackingObject& object) override;
    std::unique_ptr<ExclusionFilter> clone() const override;
    void updateFilterData(TrackingObject& object) override;

    int32_t getMaxSquaredDistance() const { return m_maxSquaredDistance; }

  private:
    TrackingObjectExternalData& recordOf(TrackingObject& object) const;

    bool m_active;
    std::string m_dataKey;
    int32_t m_maxSquaredDistance;
};
