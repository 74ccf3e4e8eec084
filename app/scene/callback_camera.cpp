#include "scene/callback_camera.h"

#include <cstdlib>
#include <utility>

#include "guard/alarm_data_container.h"
#include "overlay/alarm_overlay.h"
#include "scene/video_scene_subscriber.h"

namespace {

// The alarm overlay draws into the streams of the first image channel.
constexpr int kOverlayCamera = 1;

}  // namespace

CallbackCamera::CallbackCamera(int cameraId, int rotation, API_VersionHandler versions, int mask)
    : Camera(cameraId, rotation, std::move(versions), mask) {}

CallbackCamera::~CallbackCamera() {
    stop();
}

void CallbackCamera::setSubscriber(video_scene_subscriber_st* subscriber) {
    FrameLock lock(m_frameLock);
    deleteSubscriber();
    m_subscriber_p = subscriber;
    deleteTrackedObjects();
}

void CallbackCamera::stop() {
    Thread::stop();
    FrameLock lock(m_frameLock);
    m_receiving = false;
    if (m_subscriber_p != nullptr) {
        VideoSceneSubscriber::unsubscribe(m_subscriber_p);
    }
    deleteSubscriber();
}

void CallbackCamera::handleMoteData(char* frame) {
    FrameLock lock(m_frameLock);
    if (frame == nullptr) {
        return;
    }
    if (m_receiving) {
        AlarmDataContainer alarms;
        const int64_t frameTime = processFrame(frame, alarms);
        if (getCameraId() == kOverlayCamera) {
            AlarmOverlay::handleAlarmResult(alarms, frameTime);
        }
    }
    std::free(frame);
}

void CallbackCamera::deleteSubscriber() {
    VideoSceneSubscriber::deleteSubscriber(&m_subscriber_p);
}
