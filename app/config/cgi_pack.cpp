#include "cgi_pack.h"

#include <cstdarg>
#include <utility>

#include "base/camera_info.h"
#include "base/status_exception.h"

namespace {

template <typename Record>
const Record& require(const Record* record, const std::string& message) {
    if (record == nullptr) {
        throw StatusException(message, STATUS_INTERNAL);
    }
    return *record;
}

// A rectangle as its corners (min x, min y), (min x, max y), (max x, max y),
// (max x, min y).
JsonAutoPtr rectangle(float minX, float maxX, float minY, float maxY, const std::string& message) {
    return CGI_Pack::pack(message, "[[f,f], [f,f], [f,f], [f,f]]", double{minX}, double{minY},
                          double{minX}, double{maxY}, double{maxX}, double{maxY}, double{maxX},
                          double{minY});
}

// The common part of an area's capabilities: the view limits, vertex and
// instance counts and the default instance.
JsonAutoPtr areaCapability(const char* type, int minVertices, int maxVertices, int minInstances,
                           int maxInstances, JsonAutoPtr defaultInstance,
                           const std::string& message) {
    return CGI_Pack::pack(message, "{s:s, s:[ff], s:[ff], s:i, s:i, s:i, s:i, s:o}", "type", type,
                          "min", -1.0, -1.0, "max", 1.0, 1.0, "minNbrVertices", minVertices,
                          "maxNbrVertices", maxVertices, "minNbrInstances", minInstances,
                          "maxNbrInstances", maxInstances, "defaultInstance",
                          defaultInstance.release());
}

const LoiteringDefaults& loiteringDefaults(const DefaultValues& defaults) {
    return require(defaults.getLoitering(), "Missing default values for the loitering area");
}

const LoiteringBoundaries& loiteringBoundaries(const DataBoundaries& boundaries) {
    return require(boundaries.getLoitering(), "Missing boundary values for the loitering area");
}

}  // namespace

JsonAutoPtr CGI_Pack::object(const std::string& message) {
    return pack(message, "{}");
}

JsonAutoPtr CGI_Pack::array(const std::string& message) {
    return pack(message, "[]");
}

void CGI_Pack::insertInObject(json_t* object, JsonAutoPtr value, const char* key,
                              const std::string& message) {
    if (!value || json_object_set_new(object, key, value.release()) != 0) {
        throw StatusException(message, STATUS_INTERNAL);
    }
}

void CGI_Pack::appendToArray(json_t* array, JsonAutoPtr value, const std::string& message) {
    if (!value || json_array_append_new(array, value.release()) != 0) {
        throw StatusException(message, STATUS_INTERNAL);
    }
}

JsonAutoPtr CGI_Pack::pack(const std::string& message, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    JsonAutoPtr value(json_vpack_ex(nullptr, 0, format, arguments));
    va_end(arguments);
    if (!value) {
        throw StatusException(message, STATUS_INTERNAL);
    }
    return value;
}

JsonAutoPtr CGI_Pack::sizePercentageFilter(const DefaultValues& defaults) {
    const auto& values = require(defaults.getSizePercentage(),
                                 "Missing default values for the size percentage filter");
    return pack("Cannot create the default size percentage filter", "{s:b, s:[i,i], s:s}", "active",
                values.active, "data", values.first, values.second, "type", "sizePercentage");
}

JsonAutoPtr CGI_Pack::swayingFilter(const DefaultValues& defaults) {
    const auto& values =
        require(defaults.getSwaying(), "Missing default values for the swaying filter");
    return pack("Cannot create the default swaying filter", "{s:b, s:i, s:s}", "active",
                values.active, "data", values.value, "type", "distanceSwayingObject");
}

JsonAutoPtr CGI_Pack::loiteringArea(const DefaultValues& defaults) {
    const auto& values = loiteringDefaults(defaults);
    const std::string message = "Cannot create the default loitering area";
    return pack(message, "{s:s, s:o}", "type", "loiteringArea", "data",
                rectangle(values.minX, values.maxX, values.minY, values.maxY, message).release());
}

JsonAutoPtr CGI_Pack::individualCondition(const DefaultValues& defaults) {
    const auto& values = loiteringDefaults(defaults);
    return pack("Cannot create the condition for the default profile", "{s:s, s:i, s:b}", "type",
                "individual", "data", values.individualSeconds, "active", values.individualActive);
}

JsonAutoPtr CGI_Pack::groupCondition(const DefaultValues& defaults) {
    const auto& values = loiteringDefaults(defaults);
    return pack("Cannot create the group time condition for the default profile", "{s:s, s:i, s:b}",
                "type", "group", "data", values.groupSeconds, "active", values.groupActive);
}

JsonAutoPtr CGI_Pack::sizePercentageFilter(const DataBoundaries& boundaries,
                                           const DefaultValues& defaults) {
    const auto& limits = require(boundaries.getSizePercentage(),
                                 "Missing boundary values for the size percentage filter");
    const auto& values = require(defaults.getSizePercentage(),
                                 "Missing default values for the size percentage filter");
    return pack("Cannot create the capabilities of the size percentage filter",
                "{s:s, s:[ii], s:[ii], s:[ii], s:b}", "type", "sizePercentage", "min",
                limits.firstMin, limits.secondMin, "max", limits.firstMax, limits.secondMax,
                "default", values.first, values.second, "defaultActive", values.active);
}

JsonAutoPtr CGI_Pack::swayingFilter(const DataBoundaries& boundaries,
                                    const DefaultValues& defaults) {
    const auto& limits =
        require(boundaries.getSwaying(), "Missing boundary values for the swaying filter");
    const auto& values =
        require(defaults.getSwaying(), "Missing default values for the swaying filter");
    return pack("Cannot create the capabilities of the swaying filter", "{s:s, s:i, s:i, s:i, s:b}",
                "type", "distanceSwayingObject", "min", limits.min, "max", limits.max, "default",
                values.value, "defaultActive", values.active);
}

JsonAutoPtr CGI_Pack::excludeArea(const DataBoundaries& boundaries, const DefaultValues& defaults) {
    const auto& limits =
        require(boundaries.getExcludeArea(), "Missing boundary values for the exclude area");
    const auto& values =
        require(defaults.getExcludeArea(), "Missing default values for the exclude area");
    const std::string message = "Cannot create the capabilities of the exclude area";
    return areaCapability("excludeArea", limits.minNbrVertices, limits.maxNbrVertices,
                          limits.minNbrInstances, limits.maxNbrInstances,
                          rectangle(values.minX, values.maxX, values.minY, values.maxY, message),
                          message);
}

JsonAutoPtr CGI_Pack::loiteringArea(const DataBoundaries& boundaries,
                                    const DefaultValues& defaults) {
    const auto& limits = loiteringBoundaries(boundaries);
    const auto& values = loiteringDefaults(defaults);
    const std::string message = "Cannot create the capabilities of the loitering area";
    return areaCapability("loiteringArea", limits.minNbrVertices, limits.maxNbrVertices,
                          limits.minNbrInstances, limits.maxNbrInstances,
                          rectangle(values.minX, values.maxX, values.minY, values.maxY, message),
                          message);
}

JsonAutoPtr CGI_Pack::individualCondition(const DataBoundaries& boundaries,
                                          const DefaultValues& defaults) {
    const auto& limits = loiteringBoundaries(boundaries);
    const auto& values = loiteringDefaults(defaults);
    return pack("Cannot create the capabilities of the individual condition",
                "{s:s, s:b, s:i, s:i, s:i}", "type", "individual", "defaultActive",
                values.individualActive, "default", values.individualSeconds, "max",
                limits.individualMax, "min", limits.individualMin);
}

JsonAutoPtr CGI_Pack::groupCondition(const DataBoundaries& boundaries,
                                     const DefaultValues& defaults) {
    const auto& limits = loiteringBoundaries(boundaries);
    const auto& values = loiteringDefaults(defaults);
    return pack("Cannot create the capabilities of the group condition",
                "{s:s, s:b, s:i, s:i, s:i}", "type", "group", "defaultActive", values.groupActive,
                "default", values.groupSeconds, "max", limits.groupMax, "min", limits.groupMin);
}

JsonAutoPtr CGI_Pack::profiles(const DataBoundaries& boundaries) {
    const auto& limits =
        require(boundaries.getProfile(), "Missing boundary values for the profiles");
    return pack("Cannot create the capabilities of the profiles", "{s:i, s:i, s:i, s:i}",
                "minNbrProfilesPerCamera", limits.minNbrProfilesPerCamera,
                "maxNbrProfilesPerCamera", boundaries.getMaxNbrProfilesPerCamera(), "minLengthName",
                limits.minLengthName, "maxLengthName", limits.maxLengthName);
}

JsonAutoPtr CGI_Pack::alarmOverlay(bool isSupported) {
    const std::string message = "Cannot create the capabilities of the alarm overlay";
    JsonAutoPtr overlay = pack(message, "{s:b}", "isSupported", isSupported);
    if (!isSupported) {
        return overlay;
    }
    JsonAutoPtr resolutions = array(message);
    for (const auto& resolution : CameraInfo::getCameraResolutionsForCurrentAspectRatio()) {
        appendToArray(resolutions.get(), pack(message, "s", resolution.toString().c_str()),
                      message);
    }
    JsonAutoPtr cameras = array(message);
    for (int id = 1; id <= CameraInfo::getNbrOfCameras(); ++id) {
        appendToArray(
            cameras.get(),
            pack(message, "{s:i, s:O}", "id", id, "availableResolutions", resolutions.get()),
            message);
    }
    insertInObject(overlay.get(), pack(message, "i", 1), "maxNbrActiveCameras", message);
    insertInObject(overlay.get(), std::move(cameras), "cameras", message);
    return overlay;
}

JsonAutoPtr CGI_Pack::motionLevel(const DefaultValues& defaults) {
    const auto& values =
        require(defaults.getSupportedCapabilities(), "Missing supported capabilities value.");
    return pack("Cannot create json data for isSupported for motionLevel", "{s:b}", "isSupported",
                values.motionLevelSupported);
}

JsonAutoPtr CGI_Pack::presets(const DataBoundaries& boundaries, const DefaultValues& defaults) {
    const auto& limits = require(boundaries.getPTZ(), "Missing boundaries values for the presets");
    const auto& values = require(defaults.getPTZ(), "Missing default values for the presets");
    return pack("Cannot create the presets for the default profile", "{s:i, s:i}",
                "maxNbrPresetsPerProfile", limits.maxNbrPresetsPerProfile, "defaultPreset",
                values.defaultPreset);
}
