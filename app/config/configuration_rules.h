#pragma once

#include <jansson.h>

#include <string>
#include <vector>

#include "config/cgi_camera.h"
#include "config/data_boundaries.h"
#include "config/json_auto_ptr.h"
#include "scene/camera_configuration_container.h"

// What the document-wide rules need to know of one parsed profile.
struct ProfileSummary {
    int uid;
    int camera;
    bool alarmOverlayEnabled;
};

// The document-wide steps of parsing a configuration; the throwing ones
// throw StatusException.
namespace configurationRules {

// The decoded document.
JsonAutoPtr decode(const std::string& text);
// The document's params member, of whatever JSON type.
const json_t* getParams(const json_t* document);
// The profiles array of params.
const json_t* getProfiles(const json_t* params);
// The integer camera of a profile, whole: no camera has an id past 32 bits.
json_int_t getProfileCamera(const json_t* profile);
// The camera with the id, or null.
const CgiCamera* findCamera(const std::vector<CgiCamera>& cameras, json_int_t id);

// A camera that no profile watches is not run.
void deactivateCamerasWithoutProfiles(std::vector<CgiCamera>& cameras,
                                      const std::vector<ProfileSummary>& profiles);
// Unique uids, no camera with more profiles than the device allows, and the
// alarm overlay on at most one camera, which has an overlay size.
void checkProfiles(const std::vector<CgiCamera>& cameras,
                   const std::vector<ProfileSummary>& profiles, const DataBoundaries& boundaries);
// The overlay's part of the configuration: the profiles that have it enabled
// and the stream settings of every camera, active or not.
AlarmOverlayConfiguration createAlarmOverlayConfiguration(
    const std::vector<CgiCamera>& cameras, const std::vector<ProfileSummary>& profiles);

}  // namespace configurationRules
