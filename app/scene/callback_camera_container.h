#pragma once

#include <map>

#include "scene/callback_camera.h"
#include "scene/camera_container.h"

// The cameras of the callback transport. Every frame of every camera is
// handled under s_mutex, so frames, configuration changes, PTZ events and
// reconnections are serialised program-wide. A camera whose subscription is
// lost is subscribed again through the interval timer every 200 ms.
class CallbackCameraContainer : public CameraContainer {
  public:
    static constexpr int64_t kReconnectIntervalUs = 200000;

    CallbackCameraContainer(API_VersionHandler versions, unsigned mask);
    ~CallbackCameraContainer() override;

    // Subscribes the camera to its scene frames; on success the camera keeps
    // the subscriber and restarts tracking.
    static bool subscribeToMoteData(CallbackCamera* camera);
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

    // Under s_mutex.
    static void scheduleReconnection(CallbackCamera* camera);
    static void removeOngoingReconnections(const Camera* camera);

    static bool s_isRunning;
    static std::map<int, CallbackCamera*> s_reconnectMap;  // observer id -> camera
};
