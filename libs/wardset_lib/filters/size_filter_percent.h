#pragma once

#include <cstdint>

#include "filters/exclusion_filter.h"

// Rejects objects whose largest width and largest height so far both stay at
// or below limits given in percent of the full image.
class SizeFilterPercent : public ExclusionFilter {
  public:
    SizeFilterPercent(int widthPercent, int heightPercent, bool active);

    bool canObjectTriggerAlarm(TrackingObject& object) override;
    std::unique_ptr<ExclusionFilter> clone() const override;
    // The object keeps its largest sizes itself.
    void updateFilterData(TrackingObject& object) override;

    int32_t getMinWidth() const { return m_minWidth; }
    int32_t getMinHeight() const { return m_minHeight; }

  private:
    int32_t m_minWidth;  // scene units
    int32_t m_minHeight;
    bool m_active;
};
