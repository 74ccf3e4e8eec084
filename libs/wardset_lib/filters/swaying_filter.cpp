#include "filters/swaying_filter.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "filters/filter_record.h"
#include "filters/scene_percent.h"
#include "tracking/tracking_object.h"
#include "tracking/tracking_object_external_data_no_merge.h"

namespace {

const char* const kPointOfOrigin = "pointOfOrigin";
const char* const kLocalDisplacement = "localDisplacement";
// An object back within a fifth of its largest excursion is re-anchored.
constexpr int32_t kReturnDivisor = 25;

int32_t squared(int32_t distance) {
    const int64_t square = int64_t{distance} * distance;
    return static_cast<int32_t>(std::min<int64_t>(square, std::numeric_limits<int32_t>::max()));
}

}  // namespace

SwayingFilter::SwayingFilter(int distancePercent, int uid, bool active)
    : m_active(active),
      m_dataKey("swaying_filter_" + std::to_string(uid)),
      m_maxSquaredDistance(squared(filters::percentOfSceneToUnits(distancePercent))) {}

bool SwayingFilter::canObjectTriggerAlarm(TrackingObject& object) {
    return !m_active || recordOf(object).getInt(kLocalDisplacement) > m_maxSquaredDistance;
}

std::unique_ptr<ExclusionFilter> SwayingFilter::clone() const {
    return std::make_unique<SwayingFilter>(*this);
}

void SwayingFilter::updateFilterData(TrackingObject& object) {
    if (!m_active) {
        return;
    }
    TrackingObjectExternalData& record = recordOf(object);
    const int32_t maxDisplacement = record.getInt(kLocalDisplacement);
    const int32_t distance = record.getPoint(kPointOfOrigin).squareDistance(object.getCentroid());
    if (maxDisplacement <= m_maxSquaredDistance && distance < maxDisplacement / kReturnDivisor) {
        record.insert(kPointOfOrigin, object.getCentroid());
        record.insert(kLocalDisplacement, int32_t{0});
    } else if (distance > maxDisplacement) {
        record.insert(kLocalDisplacement, distance);
    }
}

TrackingObjectExternalData& SwayingFilter::recordOf(TrackingObject& object) const {
    return filters::findOrCreateRecord(object, m_dataKey, [&object] {
        auto record = std::make_unique<TrackingObjectExternalDataNoMerge>();
        record->insert(kPointOfOrigin, object.getCentroid());
        record->insert(kLocalDisplacement, int32_t{0});
        return record;
    });
}
