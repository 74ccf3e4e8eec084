#include "default_config_creator.h"

#include <syslog.h>

#include <exception>
#include <string>
#include <utility>

#include "base/camera_info.h"
#include "base/status_exception.h"
#include "config/cgi_pack.h"

namespace {

// The channel that is active in a new configuration: the second one on the
// device family whose first channel is not a usable image, else the first.
int defaultActiveCamera() {
    return CameraInfo::getProdNbr().find("Tm303") != std::string::npos ? 2 : 1;
}

JsonAutoPtr createCameras() {
    JsonAutoPtr cameras = CGI_Pack::array("Cannot create a camera");
    const int activeCamera = defaultActiveCamera();
    for (int id = 1; id <= CameraInfo::getNbrOfCameras(); ++id) {
        CGI_Pack::appendToArray(cameras.get(),
                                CGI_Pack::pack("Cannot create a camera", "{s:i, s:b, s:i}", "id",
                                               id, "active", id == activeCamera, "rotation", 0),
                                "Cannot add a camera to the array");
    }
    return cameras;
}

}  // namespace

JsonAutoPtr DefaultConfigCreator::create(const DefaultValues& defaults,
                                         const API_Version& apiVersion) const {
    try {
        return createDocument(defaults, apiVersion);
    } catch (const std::exception& e) {
        syslog(LOG_WARNING, "%s\n", e.what());
        return JsonAutoPtr();
    }
}

JsonAutoPtr DefaultConfigCreator::createDocument(const DefaultValues& defaults,
                                                 const API_Version& apiVersion) const {
    JsonAutoPtr document = CGI_Pack::pack(
        "Cannot create the header for the default configuration", "{s:s, s:s, s:s}", "apiVersion",
        apiVersion.text().c_str(), "context", "", "method", "setConfiguration");
    CGI_Pack::insertInObject(document.get(), createParams(defaults), "params",
                             "Cannot add the parameters to the default configuration");
    return document;
}

JsonAutoPtr DefaultConfigCreator::createParams(const DefaultValues& defaults) const {
    JsonAutoPtr params = CGI_Pack::object("Cannot add the parameters to the default configuration");
    CGI_Pack::insertInObject(params.get(), createCameras(), "cameras",
                             "Cannot add the cameras to the default configuration");
    JsonAutoPtr profiles = CGI_Pack::array("Cannot add the profiles to the default configuration");
    for (int index = 1; index <= CameraInfo::getNbrOfCameras(); ++index) {
        CGI_Pack::appendToArray(profiles.get(), createProfile(defaults, index),
                                "Cannot add a profile to the array");
    }
    CGI_Pack::insertInObject(params.get(), std::move(profiles), "profiles",
                             "Cannot add the profiles to the default configuration");
    CGI_Pack::insertInObject(
        params.get(), CGI_Pack::pack("Cannot pack the configuration status", "i", 0),
        "configurationStatus", "Cannot add the configuration status to the default configuration");
    return params;
}

JsonAutoPtr DefaultConfigCreator::createProfile(const DefaultValues& defaults, int index) const {
    JsonAutoPtr profile = CGI_Pack::object("Cannot add the filters to the profile");
    CGI_Pack::insertInObject(profile.get(), createFiltersArray(defaults), "filters",
                             "Cannot add the filters to the profile");
    CGI_Pack::insertInObject(profile.get(), createTriggersArray(defaults), "triggers",
                             "Cannot add the triggers to the profile");

    JsonAutoPtr identity =
        CGI_Pack::pack("Cannot create additional information for a default profile",
                       "{s:i, s:i, s:s}", "uid", index, "camera", index, "name", "Profile 1");
    if (CameraInfo::isMechanicalPTZ()) {
        CGI_Pack::insertInObject(identity.get(),
                                 CGI_Pack::array("Cannot create the default presets array"),
                                 "presets", "Cannot add the presets array to the profile");
    }
    if (json_object_update(profile.get(), identity.get()) != 0) {
        throw StatusException("Cannot update the profile with addition information",
                              STATUS_INTERNAL);
    }
    if (m_addPerspective) {
        CGI_Pack::insertInObject(profile.get(),
                                 CGI_Pack::array("Cannot create the default perspective array"),
                                 "perspective", "Cannot add the perspective array to the profile");
    }
    return profile;
}
