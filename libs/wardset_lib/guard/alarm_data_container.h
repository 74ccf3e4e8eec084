#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "guard/alarm_data.h"

// The results of all guards of a camera for one frame, looked up by profile
// id. Owns the results; a profile without a result gives empty ranges.
class AlarmDataContainer {
  public:
    using ObjectIterator = std::vector<ObjectAlarmStatus>::const_iterator;
    using PolygonIterator = std::vector<const Polygon*>::const_iterator;

    // Null is ignored.
    void insert(std::unique_ptr<const AlarmData> data);

    bool doesProfileExist(int profileId) const;
    // Number of object entries of the profile.
    std::size_t size(int profileId) const;
    ObjectIterator begin(int profileId) const;
    ObjectIterator end(int profileId) const;
    PolygonIterator beginPolygon(int profileId) const;
    PolygonIterator endPolygon(int profileId) const;

  private:
    const std::vector<ObjectAlarmStatus>& objectsOf(int profileId) const;
    const std::vector<const Polygon*>& polygonsOf(int profileId) const;
    // The first result of the profile, or null.
    const AlarmData* find(int profileId) const;

    std::vector<std::unique_ptr<const AlarmData>> m_data;
};
