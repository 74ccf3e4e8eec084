#pragma once

#include <cstddef>
#include <vector>

class Polygon;
class TrackingObject;

// A guard's verdict on one object in one frame.
enum AlarmDataStatus_e : int {
    OBJECT_ALARM = 0,     // in alarm: the overlay draws a box around exactly these
    OBJECT_NO_ALARM = 1,  // may trigger, but is not in alarm
    OBJECT_FILTERED = 2,  // rejected by a filter
    OBJECT_OUTSIDE = 3,   // outside the guard's area, or not evaluated against it
};

struct ObjectAlarmStatus {
    const TrackingObject* object;  // borrowed from the frame
    AlarmDataStatus_e status;
};

// One guard's result for one frame: a verdict per active object in frame
// order, whether the guard is in alarm, and the polygons the overlay outlines.
// The objects and polygons are borrowed from the frame and the guard, which
// outlive the result.
class AlarmData {
  public:
    explicit AlarmData(int profileId) : m_profileId(profileId) {}

    void reserveObjects(std::size_t count) { m_objects.reserve(count); }
    void addObjectStatus(const TrackingObject* object, AlarmDataStatus_e status);
    // Null is ignored.
    void addPolygonToDisplay(const Polygon* polygon);
    void setAlarm(bool alarm) { m_alarm = alarm; }

    int getProfileId() const { return m_profileId; }
    bool isAlarm() const { return m_alarm; }
    const std::vector<ObjectAlarmStatus>& getObjects() const { return m_objects; }
    const std::vector<const Polygon*>& getPolygonsToDisplay() const { return m_polygonsToDisplay; }

  private:
    std::vector<ObjectAlarmStatus> m_objects;
    bool m_alarm = false;
    int m_profileId;
    std::vector<const Polygon*> m_polygonsToDisplay;
};
