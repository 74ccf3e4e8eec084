#include "dw_guard_factory.h"

#include <string>
#include <utility>

#include "config/config_points.h"
#include "config/json_parser.h"
#include "dwellwatch/dw_state_event_producer.h"
#include "dwellwatch/dwellwatch_guard.h"
#include "filters/object_lifetime_filter.h"
#include "filters/perspective.h"
#include "filters/perspective_bar_utils.h"
#include "filters/size_filter_percent.h"
#include "filters/size_filter_perspective.h"

namespace {

constexpr const char* kEventName = "Dwellwatch";
// Objects younger than this never trigger.
constexpr int64_t kMinObjectLifetime = 3000000;  // microseconds

bool isWithin(json_int_t value, int min, int max) {
    return value >= min && value <= max;
}

}  // namespace

DW_GuardFactory::DW_GuardFactory(const json_t& profile, int rotation,
                                 const DataBoundaries& boundaries)
    : AreaGuardFactory(rotation, boundaries) {
    parseJson(profile);
}

std::unique_ptr<Guard> DW_GuardFactory::createGuard() const {
    if (!m_triggerArea) {
        return nullptr;
    }
    const int preset = m_presets.empty() ? kNoPreset : m_presets.front();
    auto guard = std::make_unique<DwellwatchGuard>(
        *m_triggerArea, m_name, m_uid, m_camera, m_eventDuration, kEventName,
        DW_StateEventProducer::getInstance(), m_individualTime, m_groupTime, m_rotation, preset,
        m_swayingFilter ? std::make_unique<SwayingFilter>(*m_swayingFilter) : nullptr);
    for (const Polygon& excludeArea : m_excludeAreas) {
        guard->addExcludeArea(excludeArea);
    }
    for (const auto& filter : m_filters) {
        guard->addExclusionFilter(filter->clone());
    }
    guard->addExclusionFilter(std::make_unique<ObjectLifetimeFilter>(kMinObjectLifetime, true));
    return guard;
}

void DW_GuardFactory::validateConfiguration() {
    AreaGuardFactory::validateConfiguration();
    if (m_individualTime != 0 && m_groupTime != 0) {
        throw StatusException("There can be only one active trigger condition",
                              STATUS_CONTRADICTION);
    }
    if (m_individualTime == 0 && m_groupTime == 0 && m_objectStoppedTime == 0) {
        throw StatusException("There must be at least one active trigger condition",
                              STATUS_CONTRADICTION);
    }
}

void DW_GuardFactory::createOneExclusionFilter(const json_t& filter) {
    const char* type = nullptr;
    if (!JsonParser::unpack(&filter, "{s:s}", "type", &type)) {
        throw StatusException("Could not unpack exclusion filter name", STATUS_MISSING_PARAMETER);
    }
    const std::string filterType = type;
    if (filterType == "sizePercentage") {
        createSizePercentageFilter(filter);
    } else if (filterType == "sizePerspective") {
        createSizePerspectiveFilter(filter);
    } else if (filterType == "distanceSwayingObject") {
        createSwayingFilter(filter);
    } else if (filterType == "excludeArea") {
        createExcludeArea(filter);
    } else {
        throw StatusException("Unknown exclusion filter: " + filterType, STATUS_INVALID_PARAMETER);
    }
}

void DW_GuardFactory::createSizePercentageFilter(const json_t& filter) {
    json_int_t first = 0;
    json_int_t second = 0;
    int active = 0;
    if (!JsonParser::unpack(&filter, "{s:[II!], s:b}", "data", &first, &second, "active",
                            &active)) {
        throw StatusException("Could not unpack a size filter percent", STATUS_MISSING_PARAMETER);
    }
    m_sizePercentActive = active != 0;
    const SizePercentageFilterBoundaries* limits = m_boundaries.getSizePercentage();
    if (limits == nullptr) {
        throw StatusException("Missing boundary values for the size percentage filter",
                              STATUS_INTERNAL);
    }
    if (!isWithin(first, limits->firstMin, limits->firstMax) ||
        !isWithin(second, limits->secondMin, limits->secondMax)) {
        throw StatusException("Incorrect parameter value for size filter percent",
                              STATUS_INVALID_PARAMETER);
    }
    m_filters.push_back(std::make_unique<SizeFilterPercent>(
        static_cast<int>(first), static_cast<int>(second), m_sizePercentActive));
}

void DW_GuardFactory::createSizePerspectiveFilter(const json_t& filter) {
    json_int_t width = 0;
    json_int_t height = 0;
    int active = 0;
    if (!JsonParser::unpack(&filter, "{s:[II!], s:b}", "data", &width, &height, "active",
                            &active)) {
        throw StatusException("Could not unpack a size filter perspective",
                              STATUS_MISSING_PARAMETER);
    }
    m_sizePerspectiveActive = active != 0;
    if (width < 0 || height < 0) {
        throw StatusException("Incorrect parameter value for size filter perspective",
                              STATUS_INVALID_PARAMETER);
    }
    perspectiveBarUtils::validatePerspectiveBars(m_perspectiveBars, m_rotation);
    m_filters.push_back(std::make_unique<SizeFilterPerspective>(
        m_uid, JsonParser::narrowToInt(width, "The width of a size filter perspective"),
        JsonParser::narrowToInt(height, "The height of a size filter perspective"),
        Perspective(m_perspectiveBars), m_sizePerspectiveActive));
}

void DW_GuardFactory::createSwayingFilter(const json_t& filter) {
    json_int_t distance = 0;
    int active = 0;
    if (!JsonParser::unpack(&filter, "{s:I, s:b}", "data", &distance, "active", &active)) {
        throw StatusException("Could not unpack a swaying filter", STATUS_MISSING_PARAMETER);
    }
    const SwayingFilterBoundaries* limits = m_boundaries.getSwaying();
    if (limits == nullptr) {
        throw StatusException("Missing boundary values for the swaying filter", STATUS_INTERNAL);
    }
    if (!isWithin(distance, limits->min, limits->max)) {
        throw StatusException("Incorrect parameter value for swaying filter percent",
                              STATUS_INVALID_PARAMETER);
    }
    m_swayingFilter =
        std::make_unique<SwayingFilter>(static_cast<int>(distance), m_uid, active != 0);
}

void DW_GuardFactory::createExcludeArea(const json_t& filter) {
    const ExcludeAreaBoundaries* limits = m_boundaries.getExcludeArea();
    if (limits == nullptr) {
        throw StatusException("Missing boundary values for the exclude area", STATUS_INTERNAL);
    }
    if (m_excludeAreas.size() >= static_cast<size_t>(limits->maxNbrInstances)) {
        throw StatusException("The configuration contains too many exclude areas",
                              STATUS_INVALID_PARAMETER);
    }
    const json_t* points = json_object_get(&filter, "data");
    if (!json_is_array(points)) {
        throw StatusException("Could not get the data for an exclude area",
                              STATUS_INVALID_PARAMETER);
    }
    m_excludeAreas.push_back(configPoints::createPolygon(
        *points, limits->minNbrVertices, limits->maxNbrVertices, "An exclude area"));
}
