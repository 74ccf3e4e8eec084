#include "filters/low_confident_object_filter.h"

#include "tracking/tracking_object.h"

bool LowConfidentObjectFilter::canObjectTriggerAlarm(TrackingObject& object) {
    return object.isConfident();
}

std::unique_ptr<ExclusionFilter> LowConfidentObjectFilter::clone() const {
    return std::make_unique<LowConfidentObjectFilter>(*this);
}

void LowConfidentObjectFilter::updateFilterData(TrackingObject& /*object*/) {}
