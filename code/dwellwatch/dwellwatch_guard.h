#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dwellwatch/dwellwatch_guard_external_data.h"
#include "filters/swaying_filter.h"
#include "guard/area_guard.h"
#include "guard/loitering_area.h"

// The product's guard: raises the profile's alarm when an object stays in
// the loitering area longer than the individual time, or when the area has
// been occupied without a pause of more than 6 s for longer than the group
// time. Objects that a filter rejects do not trigger (an object that reached
// its time while rejected alarms as soon as it passes); swaying objects are
// not evaluated against the area and take no part in merges.
class DwellwatchGuard : public Guard {
  public:
    // Thresholds in microseconds; 0 disables a condition. rotation: the
    // camera's (0, 90, 180 or 270 degrees), for the pictures' progress bars.
    // swayingFilter may be null; it is kept apart from the guard's filter list.
    DwellwatchGuard(const Polygon& loiteringPolygon, const std::string& profileName, int id,
                    int cameraNbr, int64_t eventDuration, const std::string& eventName,
                    StateEventProducerI& producer, int64_t individualTimeThreshold,
                    int64_t groupTimeThreshold, int rotation, int preset,
                    std::unique_ptr<SwayingFilter> swayingFilter);

    std::unique_ptr<AlarmData> checkObjects(const ParsedScene& scene) override;

    // Keeps a copy.
    void addExcludeArea(const Polygon& excludeArea);

    // The object's record, created when missing.
    DwellwatchGuardExternalData& getData(TrackingObject& object);
    const LoiteringArea& getArea() const { return m_area; }

  protected:
    std::unique_ptr<AlarmData> updateObjectsAndGetAlarms(const ParsedScene& scene) override;
    // The filters of the list, then the swaying filter.
    void updateFilterData(TrackingObject& object) override;
    // The area's group time and dropped times.
    void restartTimeBasedState() override;
    // The objects' boxes, then the loitering progress: a bar under each
    // object that could trigger (individual condition) or one bar in the
    // viewed image's lower left corner (group condition).
    std::string createVisualConfirmationSvg(const AlarmData& data) const override;

  private:
    // What one frame found over all objects.
    struct FrameFlags {
        bool anyAlarm = false;
        bool anyInside = false;    // an eligible object inside the area
        bool anyExcluded = false;  // an eligible object only in excluded parts
    };

    static AlarmDataStatus_e createAlarmStatus(bool alarm, bool canTrigger,
                                               ProtectionAreaResult_e areaResult);
    // Gathers the frame's deleted objects that could trigger into m_vanished.
    void collectVanishedObjects(const ParsedScene& scene);
    void evaluateObject(TrackingObject& object, int64_t time, FrameFlags& flags, AlarmData& result);
    bool isSwaying(TrackingObject& object) const;
    std::string createObjectProgressBars(const AlarmData& data) const;
    std::string createGroupProgressBar() const;

    std::string m_dataKey;
    LoiteringArea m_area;
    std::string m_areaSvg;
    int m_rotation;
    std::unique_ptr<SwayingFilter> m_swayingFilter_p;
    // Reused from frame to frame.
    std::vector<const TrackingObject*> m_vanished;
};
