#pragma once

#include <map>
#include <memory>

#include "base/retry_log.h"
#include "scene/callback_camera.h"
#include "scene/camera_container.h"

// The cameras of the callback transport. Every frame of every camera is
// handled under s_mutex, so frames, configuration changes, PTZ events and
// reconnections are serialised program-wide. A camera whose subscription is
// lost is subscribed again through the interval timer every 200 ms; the
// library is asked outside s_mutex, so that a channel whose service does not
// answer holds up neither the other channels nor the API.
class CallbackCameraContainer : public CameraContainer {
  public:
    static constexpr int64_t kReconnectIntervalUs = 200000;

    CallbackCameraContainer(API_VersionHandler versions, unsigned mask);
    ~CallbackCameraContainer() override;

    // Subscribes the camera to its scene frames; on success the camera keeps
    // the subscriber and restarts tracking. Under s_mutex.
    static bool subscribeToMoteData(CallbackCamera* camera, RetryLog& retryLog);
    // Library callbacks, on threads of the library; user data is the camera.
    static void newMoteDataCallback(char* frame, void* userData);
    static void disconnectCallback(void* userData);
    // Interval timer callback: one attempt to subscribe the camera of the
    // observer again.
    static void reconnectCamera(int observerId);

  protected:
    // The camera is returned also when its first subscription fails; it is
    // then subscribed again every 200 ms.
    std::unique_ptr<Camera> createCamera(int cameraId, int rotation,
                                         const API_VersionHandler& versions, int mask) override;
    CameraList removeUnusedCameras(const CameraConfigurationContainer& configurations) override;
    // Frames are freed unprocessed from now on; reconnections end.
    void shutDownSub() override;

    // A camera being subscribed again, with the log of its attempts.
    struct Reconnection {
        CallbackCamera* camera;
        std::shared_ptr<RetryLog> retryLog;  // shared with an attempt in progress
    };

    // One subscription attempt, without any lock: the camera is only the
    // library's user data.
    static video_scene_subscriber_st* subscribe(int cameraId, unsigned mask, CallbackCamera* camera,
                                                RetryLog& retryLog);
    // Hands the subscriber of a reconnection attempt to its camera, when the
    // reconnection is still wanted; true when taken.
    static bool completeReconnection(int observerId, CallbackCamera* camera,
                                     video_scene_subscriber_st* subscriber);
    static std::shared_ptr<RetryLog> newRetryLog(const Camera& camera);

    // Under s_mutex.
    static void scheduleReconnection(CallbackCamera* camera, std::shared_ptr<RetryLog> retryLog);
    static void endReconnection(int observerId);
    static void removeOngoingReconnections(const Camera* camera);

    static bool s_isRunning;
    static std::map<int, Reconnection> s_reconnectMap;  // by observer id
};
