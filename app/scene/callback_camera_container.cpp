#include "scene/callback_camera_container.h"

#include <cstdlib>
#include <string>
#include <utility>

#include "base/interval_timer_observable.h"
#include "scene/scene_subscription.h"
#include "scene/video_scene_subscriber.h"

bool CallbackCameraContainer::s_isRunning = true;
std::map<int, CallbackCameraContainer::Reconnection> CallbackCameraContainer::s_reconnectMap;

CallbackCameraContainer::CallbackCameraContainer(API_VersionHandler versions, unsigned mask)
    : CameraContainer(std::move(versions), mask) {
    Lock lock(s_mutex);
    s_isRunning = true;
}

CallbackCameraContainer::~CallbackCameraContainer() {
    Lock lock(s_mutex);
    shutDownSub();
}

bool CallbackCameraContainer::subscribeToMoteData(CallbackCamera* camera, RetryLog& retryLog) {
    video_scene_subscriber_st* subscriber = subscribe(
        camera->getCameraId(), static_cast<unsigned>(camera->getOptionMask()), camera, retryLog);
    if (subscriber == nullptr) {
        return false;
    }
    camera->setSubscriber(subscriber);
    return true;
}

video_scene_subscriber_st* CallbackCameraContainer::subscribe(int cameraId, unsigned mask,
                                                              CallbackCamera* camera,
                                                              RetryLog& retryLog) {
    video_scene_subscriber_st* subscriber = nullptr;
    retryLog.attempt([&] {
        subscriber = SceneSubscription::subscribe(cameraId, mask, camera, &newMoteDataCallback,
                                                  &disconnectCallback);
        return subscriber != nullptr;
    });
    return subscriber;
}

void CallbackCameraContainer::newMoteDataCallback(char* frame, void* userData) {
    auto* camera = static_cast<CallbackCamera*>(userData);
    Lock lock(s_mutex);
    // A removed camera is being stopped, which waits for this thread: it
    // must not wait for the camera in turn.
    if (s_isRunning && doesCameraExist(camera)) {
        camera->handleMoteData(frame);
    } else {
        std::free(frame);
    }
}

void CallbackCameraContainer::disconnectCallback(void* userData) {
    auto* camera = static_cast<CallbackCamera*>(userData);
    Lock lock(s_mutex);
    if (s_isRunning && doesCameraExist(camera)) {
        scheduleReconnection(camera, newRetryLog(*camera));
    }
}

void CallbackCameraContainer::reconnectCamera(int observerId) {
    Reconnection reconnection{};
    int cameraId = 0;
    unsigned mask = 0;
    {
        Lock lock(s_mutex);
        const auto entry = s_reconnectMap.find(observerId);
        if (entry == s_reconnectMap.end() || !doesCameraExist(entry->second.camera)) {
            endReconnection(observerId);
            return;
        }
        reconnection = entry->second;
        cameraId = reconnection.camera->getCameraId();
        mask = static_cast<unsigned>(reconnection.camera->getOptionMask());
    }
    video_scene_subscriber_st* subscriber =
        subscribe(cameraId, mask, reconnection.camera, *reconnection.retryLog);
    if (subscriber != nullptr &&
        !completeReconnection(observerId, reconnection.camera, subscriber)) {
        VideoSceneSubscriber::deleteSubscriber(&subscriber);  // the camera went meanwhile
    }
}

bool CallbackCameraContainer::completeReconnection(int observerId, CallbackCamera* camera,
                                                   video_scene_subscriber_st* subscriber) {
    Lock lock(s_mutex);
    // The entry is erased when its camera is removed, so an entry that still
    // names the camera vouches that it exists.
    const auto entry = s_reconnectMap.find(observerId);
    if (!s_isRunning || entry == s_reconnectMap.end() || entry->second.camera != camera) {
        return false;
    }
    camera->setSubscriber(subscriber);
    endReconnection(observerId);
    return true;
}

std::unique_ptr<Camera> CallbackCameraContainer::createCamera(int cameraId, int rotation,
                                                              const API_VersionHandler& versions,
                                                              int mask) {
    auto camera = std::make_unique<CallbackCamera>(cameraId, rotation, versions, mask);
    std::shared_ptr<RetryLog> retryLog = newRetryLog(*camera);
    if (!subscribeToMoteData(camera.get(), *retryLog)) {
        scheduleReconnection(camera.get(), std::move(retryLog));
    }
    return camera;
}

CameraContainer::CameraList CallbackCameraContainer::removeUnusedCameras(
    const CameraConfigurationContainer& configurations) {
    CameraList removed = CameraContainer::removeUnusedCameras(configurations);
    for (const auto& camera : removed) {
        removeOngoingReconnections(camera.get());
    }
    return removed;
}

void CallbackCameraContainer::shutDownSub() {
    s_isRunning = false;
    for (const auto& entry : s_reconnectMap) {
        IntervalTimerObservable::unregisterObserver(entry.first);
    }
    s_reconnectMap.clear();
}

std::shared_ptr<RetryLog> CallbackCameraContainer::newRetryLog(const Camera& camera) {
    return std::make_shared<RetryLog>("Scene data of camera " +
                                      std::to_string(camera.getCameraId()));
}

void CallbackCameraContainer::scheduleReconnection(CallbackCamera* camera,
                                                   std::shared_ptr<RetryLog> retryLog) {
    const int observerId =
        IntervalTimerObservable::registerObserver(&reconnectCamera, kReconnectIntervalUs);
    if (observerId != -1) {
        s_reconnectMap[observerId] = Reconnection{camera, std::move(retryLog)};
    }
}

void CallbackCameraContainer::endReconnection(int observerId) {
    IntervalTimerObservable::unregisterObserver(observerId);
    s_reconnectMap.erase(observerId);
}

void CallbackCameraContainer::removeOngoingReconnections(const Camera* camera) {
    for (auto it = s_reconnectMap.begin(); it != s_reconnectMap.end();) {
        it = it->second.camera == camera ? s_reconnectMap.erase(it) : std::next(it);
    }
}
