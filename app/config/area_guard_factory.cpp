#include "area_guard_factory.h"

#include <syslog.h>

#include <cstring>
#include <string>

#include "base/camera_info.h"
#include "base/utils.h"
#include "config/config_points.h"
#include "config/json_parser.h"
#include "filters/perspective_bar_utils.h"

namespace {

constexpr int64_t kMicrosecondsPerSecond = 1000000;

bool isValidName(const std::string& name, const ProfileBoundaries& limits) {
    return !name.empty() &&
           utils::lengthInUtf8(name) <= static_cast<size_t>(limits.maxLengthName) &&
           name.find_first_of("<>") == std::string::npos;
}

PerspectiveBar createPerspectiveBar(const json_t& bar, int rotation) {
    const char* type = nullptr;
    json_int_t height = 0;
    if (!JsonParser::unpack(&bar, "{s:s, s:I}", "type", &type, "height", &height)) {
        throw StatusException("Could not unpack a perspective bar", STATUS_MISSING_PARAMETER);
    }
    const json_t* points = json_object_get(&bar, "data");
    if (!json_is_array(points)) {
        throw StatusException("Could not get the data for a perspective bar",
                              STATUS_INVALID_PARAMETER);
    }
    if (std::strcmp(type, "bar") != 0) {
        throw StatusException("Unknown type of perspective.", STATUS_INVALID_PARAMETER);
    }
    if (json_array_size(points) != 2) {
        throw StatusException("A perspective bar should have two points", STATUS_INVALID_PARAMETER);
    }
    int32_t ends[2][2] = {};
    for (size_t i = 0; i < 2; ++i) {
        double x = 0.0;
        double y = 0.0;
        if (json_unpack(json_array_get(points, i), "[FF!]", &x, &y) != 0) {
            throw StatusException("Could not unpack a point for a perspective bar",
                                  STATUS_INVALID_PARAMETER);
        }
        if (!configPoints::isInView(x) || !configPoints::isInView(y)) {
            syslog(LOG_WARNING, "Perspective parameter is out of bounds: x=%f y=%f\n", x, y);
            throw StatusException("Incorrect perspective point value", STATUS_INVALID_PARAMETER);
        }
        ends[i][0] = configPoints::toSceneUnits(x);
        ends[i][1] = configPoints::toSceneUnits(y);
    }
    // The bar's ends along the image's vertical direction.
    const int axis = rotation == 90 || rotation == 270 ? 0 : 1;
    return PerspectiveBar(ends[0][axis], ends[1][axis],
                          JsonParser::narrowToInt(height, "The height of a perspective bar"));
}

// The condition's time in microseconds when active, else 0; the seconds must
// lie within the limits.
int64_t conditionTime(const json_t& condition, int min, int max, const char* unpackMessage,
                      const char* boundsMessage) {
    json_int_t seconds = 0;
    int active = 0;
    if (!JsonParser::unpack(&condition, "{s:I, s:b}", "data", &seconds, "active", &active)) {
        throw StatusException(unpackMessage, STATUS_MISSING_PARAMETER);
    }
    if (seconds < min || seconds > max) {
        throw StatusException(boundsMessage, STATUS_INVALID_PARAMETER);
    }
    return active != 0 ? seconds * kMicrosecondsPerSecond : 0;
}

int64_t objectStoppedTime(const json_t& condition, const LoiteringBoundaries& limits) {
    const char* unpackMessage = "Could not unpack an object stopped condition";
    int active = 0;
    if (!JsonParser::unpack(&condition, "{s:b}", "active", &active)) {
        throw StatusException(unpackMessage, STATUS_MISSING_PARAMETER);
    }
    const json_t* data = json_object_get(&condition, "data");
    if (!json_is_array(data)) {
        throw StatusException(unpackMessage, STATUS_MISSING_PARAMETER);
    }
    if (json_array_size(data) != 1) {
        throw StatusException("Wrong number of params for the objectStopped condition.",
                              STATUS_INVALID_PARAMETER);
    }
    const json_int_t seconds = json_integer_value(json_array_get(data, 0));
    if (seconds < limits.objectStoppedMin || seconds > limits.objectStoppedMax) {
        throw StatusException("Incorrect parameter value for object stopped condition",
                              STATUS_INVALID_PARAMETER);
    }
    return active != 0 ? seconds * kMicrosecondsPerSecond : 0;
}

}  // namespace

void AreaGuardFactory::parseJson(const json_t& profile) {
    try {
        parseProfileData(profile);
        parsePerspective(profile);
        parseFilters(profile);
        parseTriggers(profile);
        parsePresets(profile);
        parseAlarmOverlay(profile);
        validateConfiguration();
    } catch (const StatusException& e) {
        m_status = e.getStatusCode();
        syslog(LOG_ERR, "%s\n", e.what());
    }
}

void AreaGuardFactory::parseProfileData(const json_t& profile) {
    const char* name = nullptr;
    json_int_t uid = 0;
    json_int_t camera = 0;
    json_int_t eventDuration = m_eventDuration;
    if (!JsonParser::unpack(&profile, "{s:s, s:I, s:I, s?I}", "name", &name, "uid", &uid, "camera",
                            &camera, "xinternalEventDuration", &eventDuration)) {
        throw StatusException("Could not unpack data for the guard", STATUS_MISSING_PARAMETER);
    }
    m_uid = JsonParser::narrowToInt(uid, "The uid of the profile");
    m_camera = JsonParser::narrowToInt(camera, "The camera of the profile");
    m_eventDuration = JsonParser::narrowToInt(eventDuration, "The event duration of the profile");
    m_name = utils::trimString(name, " ");
    const ProfileBoundaries* limits = m_boundaries.getProfile();
    if (limits == nullptr) {
        throw StatusException("Missing boundary values for the profile", STATUS_INTERNAL);
    }
    if (!isValidName(m_name, *limits)) {
        throw StatusException("The name of the profile is not valid", STATUS_INVALID_PARAMETER);
    }
}

void AreaGuardFactory::parsePerspective(const json_t& profile) {
    const json_t* bars = json_object_get(&profile, "perspective");
    if (json_array_size(bars) == 0) {
        return;
    }
    for (size_t i = 0; i < json_array_size(bars); ++i) {
        m_perspectiveBars.push_back(createPerspectiveBar(*json_array_get(bars, i), m_rotation));
    }
    perspectiveBarUtils::validatePerspectiveBars(m_perspectiveBars, m_rotation);
}

void AreaGuardFactory::parseFilters(const json_t& profile) {
    const json_t* filters = json_object_get(&profile, "filters");
    if (!json_is_array(filters)) {
        throw StatusException("Could not find the 'filters' tag", STATUS_MISSING_PARAMETER);
    }
    for (size_t i = 0; i < json_array_size(filters); ++i) {
        createOneExclusionFilter(*json_array_get(filters, i));
    }
}

void AreaGuardFactory::parseTriggers(const json_t& profile) {
    const json_t* triggers = json_object_get(&profile, "triggers");
    if (!json_is_array(triggers)) {
        throw StatusException("Could not find the 'triggers' tag", STATUS_MISSING_PARAMETER);
    }
    if (json_array_size(triggers) == 0) {
        throw StatusException("Could not find any triggers", STATUS_CONTRADICTION);
    }
    for (size_t i = 0; i < json_array_size(triggers); ++i) {
        const json_t& trigger = *json_array_get(triggers, i);
        const char* type = nullptr;
        if (!JsonParser::unpack(&trigger, "{s:s}", "type", &type)) {
            throw StatusException("Could not unpack trigger name", STATUS_MISSING_PARAMETER);
        }
        const std::string triggerType = type;
        if (triggerType == "loiteringArea") {
            const LoiteringBoundaries* limits = m_boundaries.getLoitering();
            if (limits == nullptr) {
                throw StatusException("Missing boundary values for the loitering area triggers",
                                      STATUS_INTERNAL);
            }
            if (json_array_size(triggers) > static_cast<size_t>(limits->maxNbrInstances)) {
                throw StatusException("The configuration contains too many loitering area triggers",
                                      STATUS_CONTRADICTION);
            }
            parseLoiteringArea(trigger);
        } else if (triggerType == "includeArea") {
            // This product has no include areas.
            throw StatusException("Missing boundary values for the include area triggers",
                                  STATUS_INTERNAL);
        } else if (triggerType == "fence") {
            throw StatusException("Missing boundary values for fence", STATUS_INTERNAL);
        } else {
            throw StatusException("Unknown trigger " + triggerType, STATUS_MISSING_PARAMETER);
        }
    }
}

void AreaGuardFactory::parseLoiteringArea(const json_t& trigger) {
    const json_t* points = json_object_get(&trigger, "data");
    if (!json_is_array(points)) {
        throw StatusException("Could not get the data for a loitering area",
                              STATUS_MISSING_PARAMETER);
    }
    const LoiteringBoundaries& limits = *m_boundaries.getLoitering();
    m_triggerArea = std::make_unique<Polygon>(configPoints::createPolygon(
        *points, limits.minNbrVertices, limits.maxNbrVertices, "An loitering area"));
    const json_t* conditions = json_object_get(&trigger, "conditions");
    if (!json_is_array(conditions)) {
        throw StatusException("Could not get the conditions for a loitering area",
                              STATUS_MISSING_PARAMETER);
    }
    m_individualTime = 0;
    m_groupTime = 0;
    m_objectStoppedTime = 0;
    for (size_t i = 0; i < json_array_size(conditions); ++i) {
        parseCondition(*json_array_get(conditions, i), limits);
    }
}

void AreaGuardFactory::parseCondition(const json_t& condition, const LoiteringBoundaries& limits) {
    const char* type = nullptr;
    if (!JsonParser::unpack(&condition, "{s:s}", "type", &type)) {
        throw StatusException("Could not unpack trigger condition name", STATUS_MISSING_PARAMETER);
    }
    const std::string conditionType = type;
    if (conditionType == "individual") {
        m_individualTime =
            conditionTime(condition, limits.individualMin, limits.individualMax,
                          "Could not unpack an individual time in area condition",
                          "Incorrect parameter value for individual time in area condition");
    } else if (conditionType == "group") {
        m_groupTime = conditionTime(condition, limits.groupMin, limits.groupMax,
                                    "Could not unpack an group time in area condition",
                                    "Incorrect parameter value for group time in area condition");
    } else if (conditionType == "objectStopped") {
        m_objectStoppedTime = objectStoppedTime(condition, limits);
    } else {
        throw StatusException("Unknown trigger condition: " + conditionType,
                              STATUS_INVALID_PARAMETER);
    }
}

void AreaGuardFactory::parsePresets(const json_t& profile) {
    const json_t* presets = json_object_get(&profile, "presets");
    const bool mechanicalPTZ = CameraInfo::isMechanicalPTZ();
    if (presets != nullptr && !mechanicalPTZ) {
        throw StatusException(
            "This device is a non-ptz device and the configuration should not contain any presets",
            STATUS_CONTRADICTION);
    }
    const PTZ_Boundaries* limits = m_boundaries.getPTZ();
    if (limits == nullptr) {
        throw StatusException("Missing boundary values for PTZ", STATUS_INTERNAL);
    }
    if (!mechanicalPTZ) {
        return;
    }
    if (presets != nullptr && !json_is_array(presets)) {
        throw StatusException("Could not parse the preset", STATUS_MISSING_PARAMETER);
    }
    if (json_array_size(presets) > static_cast<size_t>(limits->maxNbrPresetsPerProfile)) {
        throw StatusException("The configuration contains too many presets", STATUS_CONTRADICTION);
    }
    if (json_array_size(presets) == 0) {
        m_presets = {kNoPreset};
        return;
    }
    for (size_t i = 0; i < json_array_size(presets); ++i) {
        json_int_t preset = 0;
        if (json_unpack(json_array_get(presets, i), "I", &preset) != 0) {
            throw StatusException("Could not unpack preset number", STATUS_MISSING_PARAMETER);
        }
        m_presets.push_back(JsonParser::narrowToInt(preset, "A preset number"));
    }
}

void AreaGuardFactory::parseAlarmOverlay(const json_t& profile) {
    const json_t* enabled = json_object_get(&profile, "alarmOverlayEnabled");
    if (enabled == nullptr) {
        return;
    }
    if (!json_is_boolean(enabled)) {
        throw StatusException("Could not parse the alarmOverlayEnabled field",
                              STATUS_MISSING_PARAMETER);
    }
    m_alarmOverlayEnabled = json_is_true(enabled);
}
