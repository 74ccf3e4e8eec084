#include "scene/callback_camera_container.h"

#include <cstdlib>
#include <utility>

#include "base/interval_timer_observable.h"
#include "scene/scene_subscription.h"

bool CallbackCameraContainer::s_isRunning = true;
std::map<int, CallbackCamera*> CallbackCameraContainer::s_reconnectMap;

CallbackCameraContainer::CallbackCameraContainer(API_VersionHandler versions, unsigned mask)
    : CameraContainer(std::move(versions), mask) {
    Lock lock(s_mutex);
    s_isRunning = true;
}

CallbackCameraContainer::~CallbackCameraContainer() {
    Lock lock(s_mutex);
    shutDownSub();
}

bool CallbackCameraContainer::subscribeToMoteData(CallbackCamera* camera) {
    video_scene_subscriber_st* subscriber = nullptr;
    const bool subscribed = camera->subscriptionLog().attempt([&] {
        subscriber = SceneSubscription::subscribe(
            camera->getCameraId(), static_cast<unsigned>(camera->getOptionMask()), camera,
            &newMoteDataCallback, &disconnectCallback);
        return subscriber != nullptr;
    });
    if (!subscribed) {
        return false;
    }
    camera->setSubscriber(subscriber);
    return true;
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
        scheduleReconnection(camera);
    }
}

void CallbackCameraContainer::reconnectCamera(int observerId) {
    Lock lock(s_mutex);
    const auto entry = s_reconnectMap.find(observerId);
    if (entry == s_reconnectMap.end()) {
        IntervalTimerObservable::unregisterObserver(observerId);
        return;
    }
    if (doesCameraExist(entry->second) && !subscribeToMoteData(entry->second)) {
        return;  // the next attempt comes with the next interval
    }
    IntervalTimerObservable::unregisterObserver(observerId);
    s_reconnectMap.erase(entry);
}

std::unique_ptr<Camera> CallbackCameraContainer::createCamera(int cameraId, int rotation,
                                                              const API_VersionHandler& versions,
                                                              int mask) {
    auto camera = std::make_unique<CallbackCamera>(cameraId, rotation, versions, mask);
    if (!subscribeToMoteData(camera.get())) {
        scheduleReconnection(camera.get());
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

void CallbackCameraContainer::scheduleReconnection(CallbackCamera* camera) {
    const int observerId =
        IntervalTimerObservable::registerObserver(&reconnectCamera, kReconnectIntervalUs);
    if (observerId != -1) {
        s_reconnectMap[observerId] = camera;
    }
}

void CallbackCameraContainer::removeOngoingReconnections(const Camera* camera) {
    for (auto it = s_reconnectMap.begin(); it != s_reconnectMap.end();) {
        it = it->second == camera ? s_reconnectMap.erase(it) : std::next(it);
    }
}
