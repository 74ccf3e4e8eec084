#pragma once

#include <memory>

#include "tracking/tracking_object_external_data.h"

// What the loitering guard remembers about one object. When two objects
// merge, a pending alarm of either is kept; couldTrigger stays the target's.
class DwellwatchGuardExternalData : public TrackingObjectExternalData {
  public:
    std::unique_ptr<TrackingObjectExternalData> clone() const override;
    // other must be a DwellwatchGuardExternalData (std::bad_cast otherwise).
    void merge(const TrackingObjectExternalData& other) override;

    // The object reached the individual time while a filter rejected it: it
    // alarms as soon as it passes the filters.
    bool hasPendingAlarm() const { return m_pendingAlarm; }
    void setPendingAlarm(bool pending) { m_pendingAlarm = pending; }
    // The object passed all filters at least once; only such objects leave
    // their loitering time behind when they vanish.
    bool couldTrigger() const { return m_couldTrigger; }
    void setCouldTrigger(bool could) { m_couldTrigger = could; }

  private:
    bool m_pendingAlarm = false;
    bool m_couldTrigger = false;
};
