#include "scene/camera.h"

#include <syslog.h>

#include <algorithm>
#include <limits>
#include <string>
#include <utility>

#include "base/camera_info.h"
#include "guard/alarm_data_container.h"
#include "tracking/parsed_scene.h"
#include "tracking/tracking_object.h"

Camera::Camera(int cameraId, int rotation, API_VersionHandler versions, int mask)
    : m_cameraId(cameraId),
      m_optionMask(mask),
      m_sceneVersions(std::move(versions)),
      m_motionLevel(cameraId, kMotionLevelPeriodUs),
      m_parser(rotation, CameraInfo::getCameraAspectRatio(cameraId)),
      m_frameTimeLog("Frame times of camera " + std::to_string(cameraId)) {}

Camera::~Camera() = default;

void Camera::updateWithNewConfiguration(CameraConfiguration& configuration) {
    FrameLock lock(m_frameLock);
    GuardList guards = configuration.takeGuards();
    carryVisualConfirmationOver(guards);
    m_guards.clear();
    m_parser.updateCameraRotation(configuration.getRotation());
    for (std::unique_ptr<Guard>& guard : guards) {
        guard->handleStartupPreset(m_currentPreset);
        insertGuard(std::move(guard));
    }
    deleteTrackedObjects();
}

void Camera::carryVisualConfirmationOver(const GuardList& newGuards) {
    const VC_Data current = getVC_Data();
    if (current.profileId == -1) {
        return;
    }
    if (Guard* guard = findGuard(newGuards, current.profileId)) {
        guard->enableVisualConfirmation(current.id);
    }
}

void Camera::insertGuard(std::unique_ptr<Guard> guard) {
    if (guard) {
        FrameLock lock(m_frameLock);
        m_guards.push_back(std::move(guard));
    }
}

Guard* Camera::getGuard(int profileId) {
    FrameLock lock(m_frameLock);
    return findGuard(m_guards, profileId);
}

Guard* Camera::findGuard(const GuardList& guards, int profileId) {
    const auto it = std::find_if(guards.begin(), guards.end(), [profileId](const auto& guard) {
        return guard->getId() == profileId;
    });
    return it == guards.end() ? nullptr : it->get();
}

bool Camera::doesProfileExist(int profileId) {
    return getGuard(profileId) != nullptr;
}

bool Camera::sendAlarmEvent(int profileId) {
    FrameLock lock(m_frameLock);
    Guard* guard = findGuard(m_guards, profileId);
    if (guard == nullptr) {
        return false;
    }
    guard->sendAlarmEvent();
    return true;
}

bool Camera::enableVisualConfirmation(int profileId, const std::string& id) {
    FrameLock lock(m_frameLock);
    Guard* guard = findGuard(m_guards, profileId);
    return guard != nullptr && guard->enableVisualConfirmation(id);
}

void Camera::disableVisualConfirmation(int profileId) {
    FrameLock lock(m_frameLock);
    if (Guard* guard = findGuard(m_guards, profileId)) {
        guard->disableVisualConfirmation();
    }
}

void Camera::disableVisualConfirmation() {
    FrameLock lock(m_frameLock);
    for (const auto& guard : m_guards) {
        guard->disableVisualConfirmation();
    }
}

Camera::VC_Data Camera::getVC_Data() {
    FrameLock lock(m_frameLock);
    for (const auto& guard : m_guards) {
        if (guard->isVisualConfirmationAllowedToSend()) {
            return {guard->getId(), guard->getVisualConfirmationId()};
        }
    }
    return {};
}

void Camera::startMotionLevel() {
    FrameLock lock(m_frameLock);
    m_motionLevel.start();
}

void Camera::stopMotionLevel() {
    FrameLock lock(m_frameLock);
    m_motionLevel.stop();
}

bool Camera::isMotionLevelActive() {
    FrameLock lock(m_frameLock);
    return m_motionLevel.isActive();
}

void Camera::handleMotionLevel(const ParsedScene& parsedScene, const MoteScene& scene) {
    FrameLock lock(m_frameLock);
    if (!m_motionLevel.isActive()) {
        return;
    }
    // Hundreds of overlapping outlines can add up to more than an int holds;
    // anything above the whole view reads as full motion anyway.
    int64_t level = 0;
    for (const TrackingObject* object : parsedScene.getActiveObjects()) {
        level += object->getShape().getPolygonArea();
    }
    const int64_t limit = std::numeric_limits<int32_t>::max();
    m_motionLevel.sendEvent(static_cast<int>(std::min(level, limit)), scene.getTimestamp());
}

void Camera::handlePTZ_PresetEvent(const PTZ_PresetEvent& event) {
    if (event.presetToken == PTZ_PresetEvent::kNoToken) {
        return;
    }
    FrameLock lock(m_frameLock);
    if (event.onPreset) {
        m_currentPreset = event.presetToken;
        for (const auto& guard : m_guards) {
            guard->handleArrivingAtPreset(event.presetToken, event.time);
        }
    } else if (event.presetToken == m_currentPreset) {
        for (const auto& guard : m_guards) {
            guard->handleLeavingPreset(event.time);
        }
        m_currentPreset = PtzState::kNotAtPreset;
    }
}

void Camera::handlePTZ_MovementEvent(const PTZ_MovementEvent& event) {
    FrameLock lock(m_frameLock);
    for (const auto& guard : m_guards) {
        guard->handleMovementEvent(event.moving, event.time);
    }
}

std::size_t Camera::getTrackedObjectCount() {
    FrameLock lock(m_frameLock);
    return m_parser.getStorage().getSize();
}

int64_t Camera::processFrame(const char* frame, AlarmDataContainer& alarms) {
    const MoteScene scene(frame, m_optionMask);
    const SceneTime_e time = m_timeBase.follow(scene.getTimestamp());
    if (time == SCENE_TIME_NEW_BASE) {
        startNewTimeBase(scene.getTimestamp());
    }
    const ParsedScene parsedScene = m_parser.parse(scene);
    if (!isEvaluable(time)) {
        return scene.getTimestamp();
    }
    for (const auto& guard : m_guards) {
        alarms.insert(guard->checkObjects(parsedScene));
    }
    handleMotionLevel(parsedScene, scene);
    return scene.getTimestamp();
}

void Camera::startNewTimeBase(int64_t time) {
    m_parser.getStorage().deleteAll();
    for (const auto& guard : m_guards) {
        guard->restartTimeBase(time);
    }
}

bool Camera::isEvaluable(SceneTime_e time) {
    return m_frameTimeLog.attempt([this, time] {
        if (time != SCENE_TIME_MISSING) {
            return true;
        }
        logMessage(LOG_WARNING, "Scene frame of camera %d has no time; it is not evaluated\n",
                   m_cameraId);
        return false;
    });
}

void Camera::deleteTrackedObjects() {
    m_parser.getStorage().deleteAll();
    m_timeBase.restart();
}
