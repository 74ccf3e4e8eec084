#include "scene/camera_container.h"

#include <syslog.h>

#include <algorithm>
#include <utility>

#include "base/camera_info.h"
#include "base/utils.h"
#include "overlay/alarm_overlay.h"

CameraContainer::CameraList CameraContainer::s_cameras;
std::mutex CameraContainer::s_mutex;
bool CameraContainer::s_canReceivePTZ_Callbacks = false;

namespace {

// Reads a value of the PTZ event's key-value set; logs the failure with the format.
template <typename Getter, typename Value>
bool readEventValue(Getter getter, const ZKEvent* event, const char* key, Value* value,
                    const char* failureFormat) {
    GError* error = nullptr;
    if (!getter(zk_event_get_key_value_set(event), key, nullptr, value, &error)) {
        syslog(LOG_ERR, failureFormat, error != nullptr ? error->message : "");
        g_clear_error(&error);
        return false;
    }
    return true;
}

int64_t monotonicTimeOf(const ZKEvent* event) {
    GTimeVal time;
    zk_event_get_time(event, &time);
    return utils::convertUTC_ToMonotonicTime(time);
}

}  // namespace

CameraContainer::CameraContainer(API_VersionHandler versions, unsigned mask)
    : m_sceneVersions(std::move(versions)), m_optionMask(mask) {}

CameraContainer::~CameraContainer() {
    CameraList cameras;
    {
        Lock lock(s_mutex);
        cameras = removeAllCameras();
    }
    stopAndDelete(std::move(cameras));
    shutDownPTZ();
}

void CameraContainer::updateWithNewConfiguration(CameraConfigurationContainer configurations) {
    CameraList removed;
    {
        Lock lock(s_mutex);
        for (CameraConfiguration& configuration : configurations.getConfigurations()) {
            Camera* camera = getOrCreateCamera(configuration);
            if (camera != nullptr) {
                camera->updateWithNewConfiguration(configuration);
            }
        }
        removed = removeUnusedCameras(configurations);
        subscribeToPTZ();
    }
    stopAndDelete(std::move(removed));
    AlarmOverlay::setNewConfiguration(configurations.getAlarmOverlay());
}

void CameraContainer::shutDown() {
    shutDownPTZ();
    Lock lock(s_mutex);
    shutDownSub();
}

bool CameraContainer::doesProfileExist(int profileId) {
    Lock lock(s_mutex);
    return std::any_of(s_cameras.begin(), s_cameras.end(), [profileId](const auto& camera) {
        return camera->doesProfileExist(profileId);
    });
}

bool CameraContainer::sendAlarmEvent(int profileId) {
    Lock lock(s_mutex);
    return std::any_of(s_cameras.begin(), s_cameras.end(), [profileId](const auto& camera) {
        return camera->sendAlarmEvent(profileId);
    });
}

bool CameraContainer::enableVisualConfirmation(int profileId, const std::string& id) {
    Lock lock(s_mutex);
    const bool accepted =
        std::any_of(s_cameras.begin(), s_cameras.end(), [profileId, &id](const auto& camera) {
            return camera->enableVisualConfirmation(profileId, id);
        });
    if (!accepted) {
        return false;
    }
    if (m_visualConfirmationProfile != -1 && m_visualConfirmationProfile != profileId) {
        disableVisualConfirmation(m_visualConfirmationProfile);
    }
    m_visualConfirmationProfile = profileId;
    return true;
}

void CameraContainer::disableVisualConfirmation(int profileId) {
    for (const auto& camera : s_cameras) {
        camera->disableVisualConfirmation(profileId);
    }
}

void CameraContainer::disableVisualConfirmation() {
    Lock lock(s_mutex);
    m_visualConfirmationProfile = -1;
    for (const auto& camera : s_cameras) {
        camera->disableVisualConfirmation();
    }
}

int CameraContainer::getVisualConfIdNbr() {
    Lock lock(s_mutex);
    for (const auto& camera : s_cameras) {
        const Camera::VC_Data data = camera->getVC_Data();
        if (data.profileId != -1) {
            return data.profileId;
        }
    }
    return -1;
}

bool CameraContainer::isVisualConfEnabled() {
    return getVisualConfIdNbr() != -1;
}

void CameraContainer::startMotionLevel() {
    Lock lock(s_mutex);
    for (const auto& camera : s_cameras) {
        camera->startMotionLevel();
    }
}

void CameraContainer::stopMotionLevel() {
    Lock lock(s_mutex);
    for (const auto& camera : s_cameras) {
        camera->stopMotionLevel();
    }
}

bool CameraContainer::isMotionLevelActive() {
    Lock lock(s_mutex);
    return anyMotionLevelActive();
}

std::size_t CameraContainer::getCameraCount() {
    Lock lock(s_mutex);
    return s_cameras.size();
}

void CameraContainer::PTZ_PresetCallback(guint, ZKEvent* event, gpointer userData) {
    Lock lock(s_mutex);
    gboolean onPreset = FALSE;
    int token = PTZ_PresetEvent::kNoToken;
    if (s_canReceivePTZ_Callbacks &&
        readEventValue(zk_event_key_value_set_get_boolean, event, "on_preset", &onPreset,
                       "Failed to unpack 'on_preset' in a PTZ event, message: %s\n") &&
        readEventValue(zk_event_key_value_set_get_integer, event, "PresetToken", &token,
                       "Failed to unpack 'PresetToken' in a PTZ event, message: %s\n")) {
        static_cast<CameraContainer*>(userData)->handlePTZ_PresetEvent(
            {onPreset != FALSE, token, monotonicTimeOf(event)});
    }
    zk_event_free(event);
}

void CameraContainer::PTZ_MovementCallback(guint, ZKEvent* event, gpointer userData) {
    Lock lock(s_mutex);
    gboolean moving = FALSE;
    if (s_canReceivePTZ_Callbacks &&
        readEventValue(zk_event_key_value_set_get_boolean, event, "is_moving", &moving,
                       "Failed to unpack 'is_moving' in a PTZ event, message: %s\n")) {
        static_cast<CameraContainer*>(userData)->handlePTZ_MovementEvent(
            {moving != FALSE, monotonicTimeOf(event)});
    }
    zk_event_free(event);
}

CameraContainer::CameraList CameraContainer::removeUnusedCameras(
    const CameraConfigurationContainer& configurations) {
    CameraList removed;
    CameraList kept;
    for (auto& camera : s_cameras) {
        const bool configured = configurations.getConfiguration(camera->getCameraId()) != nullptr;
        (configured ? kept : removed).push_back(std::move(camera));
    }
    s_cameras = std::move(kept);
    return removed;
}

bool CameraContainer::doesCameraExist(const Camera* camera) {
    return std::any_of(s_cameras.begin(), s_cameras.end(),
                       [camera](const auto& existing) { return existing.get() == camera; });
}

Camera* CameraContainer::getCamera(const CameraConfiguration& configuration) {
    return findCamera(configuration.getCameraId());
}

Camera* CameraContainer::findCamera(int cameraId) {
    const auto it =
        std::find_if(s_cameras.begin(), s_cameras.end(),
                     [cameraId](const auto& camera) { return camera->getCameraId() == cameraId; });
    return it == s_cameras.end() ? nullptr : it->get();
}

void CameraContainer::insertCamera(std::unique_ptr<Camera> camera) {
    if (camera) {
        s_cameras.push_back(std::move(camera));
    }
}

CameraContainer::CameraList CameraContainer::removeAllCameras() {
    CameraList cameras = std::move(s_cameras);
    s_cameras.clear();
    return cameras;
}

void CameraContainer::stopAndDelete(CameraList cameras) {
    for (const auto& camera : cameras) {
        camera->stop();
    }
    for (auto& camera : cameras) {
        camera->join();
        camera.reset();
    }
}

Camera* CameraContainer::getOrCreateCamera(const CameraConfiguration& configuration) {
    Camera* camera = getCamera(configuration);
    if (camera != nullptr) {
        return camera;
    }
    std::unique_ptr<Camera> created =
        createCamera(configuration.getCameraId(), configuration.getRotation(), m_sceneVersions,
                     static_cast<int>(m_optionMask));
    if (!created) {
        return nullptr;
    }
    // A new camera follows the others in reporting motion level.
    if (anyMotionLevelActive()) {
        created->startMotionLevel();
    }
    camera = created.get();
    insertCamera(std::move(created));
    return camera;
}

void CameraContainer::subscribeToPTZ() {
    if (s_canReceivePTZ_Callbacks || !CameraInfo::isMechanicalPTZ()) {
        return;
    }
    s_canReceivePTZ_Callbacks = true;
    m_presetSubscription_p = std::make_unique<PTZ_Subscription>("PTZController", "PTZPresets",
                                                                &PTZ_PresetCallback, this);
    m_movementSubscription_p =
        std::make_unique<PTZ_Subscription>("PTZController", "Move", &PTZ_MovementCallback, this);
}

void CameraContainer::shutDownPTZ() {
    std::unique_ptr<PTZ_Subscription> preset;
    std::unique_ptr<PTZ_Subscription> movement;
    {
        Lock lock(s_mutex);
        s_canReceivePTZ_Callbacks = false;
        preset = std::move(m_presetSubscription_p);
        movement = std::move(m_movementSubscription_p);
    }
    // Unsubscribed outside the lock: ending a subscription may wait for a
    // callback in progress, which needs the lock. Callbacks that still come
    // find reception off and leave the container alone.
}

void CameraContainer::handlePTZ_PresetEvent(const PTZ_PresetEvent& event) {
    for (const auto& camera : s_cameras) {
        camera->handlePTZ_PresetEvent(event);
    }
}

void CameraContainer::handlePTZ_MovementEvent(const PTZ_MovementEvent& event) {
    for (const auto& camera : s_cameras) {
        camera->handlePTZ_MovementEvent(event);
    }
}

bool CameraContainer::anyMotionLevelActive() {
    return std::any_of(s_cameras.begin(), s_cameras.end(),
                       [](const auto& camera) { return camera->isMotionLevelActive(); });
}
