#include "configuration_rules.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/status_exception.h"
#include "config/json_parser.h"

namespace configurationRules {
namespace {

void checkUniqueUids(const std::vector<ProfileSummary>& profiles) {
    std::set<int> uids;
    for (const auto& profile : profiles) {
        if (!uids.insert(profile.uid).second) {
            throw StatusException("Found profiles with the same uid", STATUS_CONTRADICTION);
        }
    }
}

void checkProfileCounts(const std::vector<ProfileSummary>& profiles,
                        const DataBoundaries& boundaries) {
    const int limit = boundaries.getMaxNbrProfilesPerCamera();
    std::map<int, int> countByCamera;
    for (const auto& profile : profiles) {
        if (++countByCamera[profile.camera] > limit) {
            throw StatusException("A camera has too many profiles attached to it",
                                  STATUS_TOO_MANY_PROFILES);
        }
    }
}

void checkAlarmOverlay(const std::vector<CgiCamera>& cameras,
                       const std::vector<ProfileSummary>& profiles) {
    std::set<int> overlayCameras;
    for (const auto& profile : profiles) {
        if (!profile.alarmOverlayEnabled) {
            continue;
        }
        const CgiCamera* camera = findCamera(cameras, profile.camera);
        if (camera == nullptr || !camera->hasOverlaySize()) {
            throw StatusException("Invalid alarm overlay parameters", STATUS_CONTRADICTION);
        }
        overlayCameras.insert(profile.camera);
    }
    if (overlayCameras.size() > 1) {
        throw StatusException("Invalid alarm overlay parameters", STATUS_CONTRADICTION);
    }
}

}  // namespace

JsonAutoPtr decode(const std::string& text) {
    JsonAutoPtr document(JsonParser::decode(text));
    if (!document) {
        throw StatusException("Unable to decode Json: ", STATUS_BAD_JSON);
    }
    return document;
}

const json_t* getParams(const json_t* document) {
    const json_t* params = json_object_get(document, "params");
    if (params == nullptr) {
        throw StatusException("Could not get 'params': ", STATUS_MISSING_PARAMETER);
    }
    return params;
}

const json_t* getProfiles(const json_t* params) {
    const json_t* profiles = JsonParser::getArray(params, "profiles");
    if (profiles == nullptr) {
        throw StatusException("Could not get 'profiles': ", STATUS_MISSING_PARAMETER);
    }
    return profiles;
}

json_int_t getProfileCamera(const json_t* profile) {
    const json_t* camera = json_object_get(profile, "camera");
    if (!json_is_integer(camera)) {
        throw StatusException("Missing camera id parameter", STATUS_MISSING_PARAMETER);
    }
    return json_integer_value(camera);
}

const CgiCamera* findCamera(const std::vector<CgiCamera>& cameras, json_int_t id) {
    const auto it = std::find_if(cameras.begin(), cameras.end(),
                                 [id](const CgiCamera& camera) { return camera.id == id; });
    return it == cameras.end() ? nullptr : &*it;
}

void deactivateCamerasWithoutProfiles(std::vector<CgiCamera>& cameras,
                                      const std::vector<ProfileSummary>& profiles) {
    for (auto& camera : cameras) {
        const bool watched = std::any_of(
            profiles.begin(), profiles.end(),
            [&camera](const ProfileSummary& profile) { return profile.camera == camera.id; });
        camera.active = camera.active && watched;
    }
}

void checkProfiles(const std::vector<CgiCamera>& cameras,
                   const std::vector<ProfileSummary>& profiles, const DataBoundaries& boundaries) {
    checkUniqueUids(profiles);
    checkProfileCounts(profiles, boundaries);
    checkAlarmOverlay(cameras, profiles);
}

AlarmOverlayConfiguration createAlarmOverlayConfiguration(
    const std::vector<CgiCamera>& cameras, const std::vector<ProfileSummary>& profiles) {
    AlarmOverlayConfiguration overlay;
    for (const auto& profile : profiles) {
        if (profile.alarmOverlayEnabled) {
            overlay.profileIds.push_back(profile.uid);
        }
    }
    for (const auto& camera : cameras) {
        overlay.streamSettingsByCamera.emplace(
            camera.id,
            StreamSettings(camera.overlayWidth, camera.overlayHeight, camera.rotation, false));
    }
    return overlay;
}

}  // namespace configurationRules
