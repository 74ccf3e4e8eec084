#include "guard/loitering_area_external_data.h"

#include <algorithm>

std::unique_ptr<TrackingObjectExternalData> LoiteringAreaExternalData::clone() const {
    return std::make_unique<LoiteringAreaExternalData>(*this);
}

void LoiteringAreaExternalData::merge(const TrackingObjectExternalData& other) {
    const auto& source = dynamic_cast<const LoiteringAreaExternalData&>(other);
    m_lastUpdateTime = std::min(m_lastUpdateTime, source.m_lastUpdateTime);
    m_loiteringTime = std::max(m_loiteringTime, source.m_loiteringTime);
}
