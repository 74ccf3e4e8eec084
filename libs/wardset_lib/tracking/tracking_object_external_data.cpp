#include "tracking/tracking_object_external_data.h"

#include <syslog.h>

namespace {

template <typename Value>
Value storedOrLogged(const std::map<std::string, Value>& values, const std::string& key) {
    const auto found = values.find(key);
    if (found == values.end()) {
        syslog(LOG_ERR, "Could not find stored data for key %s\n", key.c_str());
        return Value{};
    }
    return found->second;
}

}  // namespace

void TrackingObjectExternalData::insert(const std::string& key, bool value) {
    m_bools[key] = value;
}

void TrackingObjectExternalData::insert(const std::string& key, int32_t value) {
    m_ints[key] = value;
}

void TrackingObjectExternalData::insert(const std::string& key, Point value) {
    m_points[key] = value;
}

void TrackingObjectExternalData::insert(const std::string& key, int64_t value) {
    m_timeVals[key] = value;
}

bool TrackingObjectExternalData::getBool(const std::string& key) const {
    return storedOrLogged(m_bools, key);
}

int32_t TrackingObjectExternalData::getInt(const std::string& key) const {
    return storedOrLogged(m_ints, key);
}

Point TrackingObjectExternalData::getPoint(const std::string& key) const {
    return storedOrLogged(m_points, key);
}

int64_t TrackingObjectExternalData::getTimeVal(const std::string& key, int64_t defaultValue) const {
    const auto found = m_timeVals.find(key);
    return found != m_timeVals.end() ? found->second : defaultValue;
}
