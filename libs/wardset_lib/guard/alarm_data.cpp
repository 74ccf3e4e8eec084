#include "guard/alarm_data.h"

void AlarmData::addObjectStatus(const TrackingObject* object, AlarmDataStatus_e status) {
    m_objects.push_back({object, status});
}

void AlarmData::addPolygonToDisplay(const Polygon* polygon) {
    if (polygon != nullptr) {
        m_polygonsToDisplay.push_back(polygon);
    }
}
