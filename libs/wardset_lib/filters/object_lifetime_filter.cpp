#include "filters/object_lifetime_filter.h"

#include "tracking/tracking_object.h"

ObjectLifetimeFilter::ObjectLifetimeFilter(int64_t minLifetime, bool active)
    : m_minLifetime(minLifetime), m_active(active) {}

bool ObjectLifetimeFilter::canObjectTriggerAlarm(TrackingObject& object) {
    return !m_active || object.getLastSeen() - object.getFirstSeen() >= m_minLifetime;
}

std::unique_ptr<ExclusionFilter> ObjectLifetimeFilter::clone() const {
    return std::make_unique<ObjectLifetimeFilter>(*this);
}

void ObjectLifetimeFilter::updateFilterData(TrackingObject& /*object*/) {}
