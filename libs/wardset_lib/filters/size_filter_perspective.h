#pragma once

#include <cstdint>
#include <string>

#include "filters/exclusion_filter.h"
#include "filters/perspective.h"

class TrackingObjectExternalData;

// Rejects objects whose largest real-world height and width so far, measured
// through the perspective model at the object's foot, both stay at or below
// minimums (in the unit of the calibration bars' heights). The sizes are
// measured also while the filter is inactive.
class SizeFilterPerspective : public ExclusionFilter {
  public:
    // uid: the profile id that keys the filter's per-object records.
    SizeFilterPerspective(int uid, int32_t minRealWidth, int32_t minRealHeight,
                          const Perspective& perspective, bool active);

    bool canObjectTriggerAlarm(TrackingObject& object) override;
    std::unique_ptr<ExclusionFilter> clone() const override;
    void updateFilterData(TrackingObject& object) override;

  private:
    TrackingObjectExternalData& recordOf(TrackingObject& object) const;

    std::string m_dataKey;
    int32_t m_minRealWidth;
    int32_t m_minRealHeight;
    Perspective m_perspective;
    bool m_active;
};
