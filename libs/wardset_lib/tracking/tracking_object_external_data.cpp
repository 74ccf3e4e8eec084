#include "tracking/tracking_object_external_data.h"

#include <syslog.h>

namespace {

template <typename Map, typename Value>
void insertOrAssign(Map& values, std::string_view key, Value value) {
    const auto found = values.find(key);
    if (found != values.end()) {
        found->second = value;
    } else {
        values.emplace(std::string(key), value);
    }
}

template <typename Map>
typename Map::mapped_type storedOrLogged(const Map& values, std::string_view key) {
    const auto found = values.find(key);
    if (found == values.end()) {
        const std::string name(key);
        syslog(LOG_ERR, "Could not find stored data for key %s\n", name.c_str());
        return {};
    }
    return found->second;
}

}  // namespace

void TrackingObjectExternalData::insert(std::string_view key, bool value) {
    insertOrAssign(m_bools, key, value);
}

void TrackingObjectExternalData::insert(std::string_view key, int32_t value) {
    insertOrAssign(m_ints, key, value);
}

void TrackingObjectExternalData::insert(std::string_view key, Point value) {
    insertOrAssign(m_points, key, value);
}

void TrackingObjectExternalData::insert(std::string_view key, int64_t value) {
    insertOrAssign(m_timeVals, key, value);
}

bool TrackingObjectExternalData::getBool(std::string_view key) const {
    return storedOrLogged(m_bools, key);
}

int32_t TrackingObjectExternalData::getInt(std::string_view key) const {
    return storedOrLogged(m_ints, key);
}

Point TrackingObjectExternalData::getPoint(std::string_view key) const {
    return storedOrLogged(m_points, key);
}

int64_t TrackingObjectExternalData::getTimeVal(std::string_view key, int64_t defaultValue) const {
    const auto found = m_timeVals.find(key);
    return found != m_timeVals.end() ? found->second : defaultValue;
}
