#pragma once

#include <jansson.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/status_exception.h"
#include "config/data_boundaries.h"
#include "filters/exclusion_filter.h"
#include "filters/perspective_bar.h"
#include "geometry/polygon.h"
#include "guard/area_guard.h"

// Reads one profile of a configuration document, checks it against the
// boundaries and builds the guard that watches the profile's camera. A
// factory never throws out of its construction: it records the code of its
// first failure, and the parser refuses the configuration unless every
// factory is STATUS_OK.
class GuardFactory {
  public:
    virtual ~GuardFactory() = default;
    GuardFactory(const GuardFactory&) = delete;
    GuardFactory& operator=(const GuardFactory&) = delete;

    // A new guard, or null when the profile has no trigger area.
    virtual std::unique_ptr<Guard> createGuard() const = 0;

    StatusCode_e getStatus() const { return m_status; }
    const std::string& getName() const { return m_name; }
    int getUid() const { return m_uid; }
    int getCamera() const { return m_camera; }
    bool isAlarmOverlayEnabled() const { return m_alarmOverlayEnabled; }
    int64_t getEventDuration() const { return m_eventDuration; }
    // Condition times in microseconds; 0 when absent or inactive.
    int64_t getIndividualTime() const { return m_individualTime; }
    int64_t getGroupTime() const { return m_groupTime; }
    int64_t getObjectStoppedTime() const { return m_objectStoppedTime; }
    const std::vector<int>& getPresets() const { return m_presets; }

  protected:
    // The preset of a guard that is bound to no preset.
    static constexpr int kNoPreset = -2;

    GuardFactory(int rotation, const DataBoundaries& boundaries);

    // Checks the profile as a whole; throws StatusException.
    virtual void validateConfiguration();
    // Reads one entry of the profile's filters; throws StatusException.
    virtual void createOneExclusionFilter(const json_t& filter) = 0;

    std::string m_name;
    int m_uid = -1;
    int m_camera = -1;
    StatusCode_e m_status = STATUS_OK;
    int64_t m_eventDuration = 3000000;  // microseconds
    int64_t m_individualTime = 0;
    int64_t m_groupTime = 0;
    int64_t m_objectStoppedTime = 0;
    std::unique_ptr<Polygon> m_triggerArea;
    std::vector<std::unique_ptr<ExclusionFilter>> m_filters;  // document order
    std::vector<Polygon> m_excludeAreas;                      // document order
    std::vector<PerspectiveBar> m_perspectiveBars;            // document order
    const int m_rotation;
    const DataBoundaries& m_boundaries;
    std::vector<int> m_presets;
    bool m_alarmOverlayEnabled = false;
    bool m_sizePercentActive = false;      // of the last "sizePercentage" filter
    bool m_sizePerspectiveActive = false;  // of the last "sizePerspective" filter
};
