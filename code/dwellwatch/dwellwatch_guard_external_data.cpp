#include "dwellwatch/dwellwatch_guard_external_data.h"

std::unique_ptr<TrackingObjectExternalData> DwellwatchGuardExternalData::clone() const {
    return std::make_unique<DwellwatchGuardExternalData>(*this);
}

void DwellwatchGuardExternalData::merge(const TrackingObjectExternalData& other) {
    const auto& source = dynamic_cast<const DwellwatchGuardExternalData&>(other);
    m_pendingAlarm = m_pendingAlarm || source.m_pendingAlarm;
}
