#include "guard/alarm_data_container.h"

#include <utility>

namespace {

const std::vector<ObjectAlarmStatus> kNoObjects;
const std::vector<const Polygon*> kNoPolygons;

}  // namespace

void AlarmDataContainer::insert(std::unique_ptr<const AlarmData> data) {
    if (data) {
        m_data.push_back(std::move(data));
    }
}

bool AlarmDataContainer::doesProfileExist(int profileId) const {
    return find(profileId) != nullptr;
}

std::size_t AlarmDataContainer::size(int profileId) const {
    return objectsOf(profileId).size();
}

AlarmDataContainer::ObjectIterator AlarmDataContainer::begin(int profileId) const {
    return objectsOf(profileId).begin();
}

AlarmDataContainer::ObjectIterator AlarmDataContainer::end(int profileId) const {
    return objectsOf(profileId).end();
}

AlarmDataContainer::PolygonIterator AlarmDataContainer::beginPolygon(int profileId) const {
    return polygonsOf(profileId).begin();
}

AlarmDataContainer::PolygonIterator AlarmDataContainer::endPolygon(int profileId) const {
    return polygonsOf(profileId).end();
}

const std::vector<ObjectAlarmStatus>& AlarmDataContainer::objectsOf(int profileId) const {
    const AlarmData* data = find(profileId);
    return data != nullptr ? data->getObjects() : kNoObjects;
}

const std::vector<const Polygon*>& AlarmDataContainer::polygonsOf(int profileId) const {
    const AlarmData* data = find(profileId);
    return data != nullptr ? data->getPolygonsToDisplay() : kNoPolygons;
}

const AlarmData* AlarmDataContainer::find(int profileId) const {
    for (const auto& data : m_data) {
        if (data->getProfileId() == profileId) {
            return data.get();
        }
    }
    return nullptr;
}
