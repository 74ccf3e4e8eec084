#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/api_version_handler.h"
#include "scene/camera.h"
#include "scene/camera_configuration_container.h"
#include "scene/ptz_events.h"
#include "scene/ptz_subscription.h"
#include "zk_event.h"

// Owns the cameras of the program, creates and removes them when a new
// configuration is applied, routes PTZ events to them and answers the HTTP
// API's questions about profiles. The transports derive from it.
//
// The cameras and the PTZ state are process-wide and guarded by s_mutex.
// Lock order: s_mutex before a camera's frame lock, never the reverse.
// Removed cameras are stopped and joined after s_mutex is released.
class CameraContainer {
  public:
    // versions and mask are handed to every new camera.
    CameraContainer(API_VersionHandler versions, unsigned mask);
    // Takes every camera out, then stops, joins and deletes them; ends the
    // PTZ subscriptions.
    virtual ~CameraContainer();
    CameraContainer(const CameraContainer&) = delete;
    CameraContainer& operator=(const CameraContainer&) = delete;

    // Creates the cameras the configuration names and lacks, hands each its
    // configuration (the guards are taken over), removes the cameras it does
    // not name, and subscribes to PTZ events on a mechanical PTZ device.
    void updateWithNewConfiguration(CameraConfigurationContainer configurations);
    // Ends PTZ reception and stops the transport; frames are not processed
    // afterwards.
    void shutDown();

    bool doesProfileExist(int profileId);
    // Requests a test alarm from the first camera with a guard of the
    // profile; false when there is none.
    bool sendAlarmEvent(int profileId);

    // Turns the visual confirmation of the profile on for the viewer id (the
    // first camera whose guard of the profile accepts it), and off for the
    // profile that had it before. False when no camera accepts.
    bool enableVisualConfirmation(int profileId, const std::string& id);
    // Off everywhere.
    void disableVisualConfirmation();
    // The profile whose visual confirmation is on and within its time, -1
    // when none.
    int getVisualConfIdNbr();
    bool isVisualConfEnabled();

    void startMotionLevel();
    void stopMotionLevel();
    bool isMotionLevelActive();

    // The number of cameras.
    std::size_t getCameraCount();

    // Event-system callbacks on the main-loop thread; user data is the
    // container. They own and release the event.
    static void PTZ_PresetCallback(guint subscription, ZKEvent* event, gpointer userData);
    static void PTZ_MovementCallback(guint subscription, ZKEvent* event, gpointer userData);

  protected:
    using CameraList = std::vector<std::unique_ptr<Camera>>;
    using Lock = std::lock_guard<std::mutex>;

    // Called under s_mutex. Null when the camera cannot be created.
    virtual std::unique_ptr<Camera> createCamera(int cameraId, int rotation,
                                                 const API_VersionHandler& versions, int mask) = 0;
    // Takes the cameras the configuration does not name out of s_cameras
    // (the others keep their order) and returns them. Called under s_mutex.
    virtual CameraList removeUnusedCameras(const CameraConfigurationContainer& configurations);
    // The transport's part of shutDown, under s_mutex.
    virtual void shutDownSub() = 0;

    // Under s_mutex.
    static bool doesCameraExist(const Camera* camera);
    static Camera* getCamera(const CameraConfiguration& configuration);
    static Camera* findCamera(int cameraId);
    static void insertCamera(std::unique_ptr<Camera> camera);
    static CameraList removeAllCameras();
    // Stops and joins each camera, then deletes it. Call without s_mutex.
    static void stopAndDelete(CameraList cameras);

    static CameraList s_cameras;  // in creation order
    static std::mutex s_mutex;
    static bool s_canReceivePTZ_Callbacks;

  private:
    // Under s_mutex: the camera of the configuration, created when missing.
    Camera* getOrCreateCamera(const CameraConfiguration& configuration);
    // Under s_mutex: subscribes to preset and movement events once, on a
    // mechanical PTZ device.
    void subscribeToPTZ();
    // Without s_mutex: ends PTZ reception and the subscriptions.
    void shutDownPTZ();
    void handlePTZ_PresetEvent(const PTZ_PresetEvent& event);
    void handlePTZ_MovementEvent(const PTZ_MovementEvent& event);
    static bool anyMotionLevelActive();
    // Under s_mutex: the profile's visual confirmation off on every camera.
    static void disableVisualConfirmation(int profileId);

    const API_VersionHandler m_sceneVersions;
    const unsigned m_optionMask;
    int m_visualConfirmationProfile = -1;  // under s_mutex
    std::unique_ptr<PTZ_Subscription> m_presetSubscription_p;
    std::unique_ptr<PTZ_Subscription> m_movementSubscription_p;
};
