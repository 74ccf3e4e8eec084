#include "filters/size_filter_perspective.h"

#include <algorithm>

#include "filters/filter_record.h"
#include "filters/perspective_filter_external_data.h"
#include "tracking/tracking_object.h"

namespace {

using Record = PerspectiveFilterExternalData;

}  // namespace

SizeFilterPerspective::SizeFilterPerspective(int uid, int32_t minRealWidth, int32_t minRealHeight,
                                             const Perspective& perspective, bool active)
    : m_dataKey("size_filter_perspective_" + std::to_string(uid)),
      m_minRealWidth(minRealWidth),
      m_minRealHeight(minRealHeight),
      m_perspective(perspective),
      m_active(active) {}

bool SizeFilterPerspective::canObjectTriggerAlarm(TrackingObject& object) {
    if (!m_active) {
        return true;
    }
    const TrackingObjectExternalData& record = recordOf(object);
    return record.getInt(Record::kMaxRealWorldHeight) > m_minRealHeight ||
           record.getInt(Record::kMaxRealWorldWidth) > m_minRealWidth;
}

std::unique_ptr<ExclusionFilter> SizeFilterPerspective::clone() const {
    return std::make_unique<SizeFilterPerspective>(*this);
}

void SizeFilterPerspective::updateFilterData(TrackingObject& object) {
    const InvariantBox& box = object.getBox();
    const int foot = box.getFootPositionValue(object.getCentroid());
    const int32_t height =
        m_perspective.calculateRealWorldSize(foot, box.getAspectCorrectedHeight());
    const int32_t width = m_perspective.calculateRealWorldSize(foot, box.getAspectCorrectedWidth());
    TrackingObjectExternalData& record = recordOf(object);
    record.insert(Record::kMaxRealWorldHeight,
                  std::max(record.getInt(Record::kMaxRealWorldHeight), height));
    record.insert(Record::kMaxRealWorldWidth,
                  std::max(record.getInt(Record::kMaxRealWorldWidth), width));
}

TrackingObjectExternalData& SizeFilterPerspective::recordOf(TrackingObject& object) const {
    return filters::findOrCreateRecord(object, m_dataKey,
                                       [] { return std::make_unique<Record>(); });
}
