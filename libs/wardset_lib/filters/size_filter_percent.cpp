#include "filters/size_filter_percent.h"

#include "filters/scene_percent.h"
#include "tracking/tracking_object.h"

SizeFilterPercent::SizeFilterPercent(int widthPercent, int heightPercent, bool active)
    : m_minWidth(filters::percentOfSceneToUnits(widthPercent)),
      m_minHeight(filters::percentOfSceneToUnits(heightPercent)),
      m_active(active) {}

bool SizeFilterPercent::canObjectTriggerAlarm(TrackingObject& object) {
    return !m_active || object.getMaxHeight() > m_minHeight || object.getMaxWidth() > m_minWidth;
}

std::unique_ptr<ExclusionFilter> SizeFilterPercent::clone() const {
    return std::make_unique<SizeFilterPercent>(*this);
}

void SizeFilterPercent::updateFilterData(TrackingObject& /*object*/) {}
