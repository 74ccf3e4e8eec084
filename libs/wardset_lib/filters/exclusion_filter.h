#pragma once

#include <memory>

class TrackingObject;

// Decides per tracked object and frame whether the object may trigger an
// alarm. A guard updates every filter's per-object statistics each frame and
// lets an object trigger only when every filter accepts it.
class ExclusionFilter {
  public:
    virtual ~ExclusionFilter() = default;

    virtual bool canObjectTriggerAlarm(TrackingObject& object) = 0;
    // A deep copy: guards get copies of the filters parsed from the configuration.
    virtual std::unique_ptr<ExclusionFilter> clone() const = 0;
    // Updates the object's statistics for this frame.
    virtual void updateFilterData(TrackingObject& object) = 0;

  protected:
    ExclusionFilter() = default;
    ExclusionFilter(const ExclusionFilter&) = default;
    ExclusionFilter& operator=(const ExclusionFilter&) = default;
};
