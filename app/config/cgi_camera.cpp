#include "cgi_camera.h"

#include <syslog.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "base/camera_info.h"
#include "base/status_exception.h"
#include "base/utils.h"
#include "config/json_parser.h"

namespace {

void readOverlaySize(const json_t* camera, CgiCamera& result) {
    const json_t* member = json_object_get(camera, "overlayResolution");
    if (member == nullptr) {
        return;
    }
    if (!json_is_string(member)) {
        throw StatusException("Failed to parse overlayResolution", STATUS_MISSING_PARAMETER);
    }
    const std::string text = json_string_value(member);
    for (const auto& offered : CameraInfo::getCameraResolutionsForCurrentAspectRatio()) {
        if (offered.toString() == text) {
            result.overlayWidth = offered.width;
            result.overlayHeight = offered.height;
            return;
        }
    }
    const std::string invalid =
        "Chosen overlayResolution is invalid, should be on format width x height";
    const auto parts = utils::splitString(text, 'x');
    if (parts.size() != 2) {
        throw StatusException(invalid, STATUS_INVALID_PARAMETER);
    }
    if (std::strtol(parts[0].c_str(), nullptr, 10) == 0 ||
        std::strtol(parts[1].c_str(), nullptr, 10) == 0) {
        syslog(LOG_WARNING, "Failed to parse resolution, skipping: %s\n", text.c_str());
        throw StatusException(invalid, STATUS_INVALID_PARAMETER);
    }
    // A well-formed size the device does not offer.
    result.overlayWidth = 0;
    result.overlayHeight = 0;
}

CgiCamera parseCamera(const json_t* camera, int channels) {
    CgiCamera result;
    int active = 0;
    json_int_t id = 0;
    json_int_t rotation = 0;
    if (!JsonParser::unpack(camera, "{s:b, s:I, s:I}", "active", &active, "id", &id, "rotation",
                            &rotation)) {
        throw StatusException("Could not unpack data for the camera", STATUS_MISSING_PARAMETER);
    }
    result.active = active != 0;
    readOverlaySize(camera, result);
    if (!JsonParser::fitsInt(rotation) ||
        !utils::isValidCameraRotation(static_cast<int>(rotation))) {
        throw StatusException("Invalid rotation parameter in configuration file",
                              STATUS_INVALID_PARAMETER);
    }
    // Camera ids count from 1: there is no channel, and no event, for id 0.
    if (id < 1 || id > channels) {
        throw StatusException("Invalid camera id parameter in configuration file",
                              STATUS_INVALID_PARAMETER);
    }
    result.id = static_cast<int>(id);
    result.rotation = static_cast<int>(rotation);
    return result;
}

}  // namespace

namespace cgiCamera {

std::vector<CgiCamera> parseCameras(const json_t* params) {
    const json_t* cameras = json_object_get(params, "cameras");
    if (!json_is_array(cameras)) {
        throw StatusException("Could not get 'cameras': ", STATUS_MISSING_PARAMETER);
    }
    const int channels = CameraInfo::getNbrOfCameras();
    if (json_array_size(cameras) > static_cast<size_t>(std::max(channels, 0))) {
        throw StatusException("The configuration contains more cameras than device supports",
                              STATUS_INVALID_PARAMETER);
    }
    std::vector<CgiCamera> result;
    for (size_t i = 0; i < json_array_size(cameras); ++i) {
        const CgiCamera camera = parseCamera(json_array_get(cameras, i), channels);
        const bool duplicate = std::any_of(result.begin(), result.end(),
                                           [&](const CgiCamera& c) { return c.id == camera.id; });
        if (duplicate) {
            throw StatusException("Duplicate cameras found", STATUS_CONTRADICTION);
        }
        result.push_back(camera);
    }
    if (result.empty()) {
        throw StatusException("No cameras found", STATUS_MISSING_PARAMETER);
    }
    return result;
}

}  // namespace cgiCamera
