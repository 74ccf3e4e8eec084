#pragma once

#include <string>

#include "scene/camera_container.h"
#include "scene/socket_camera.h"

// The cameras of the socket transport, each reading its frames on a thread
// of its own; frames take only their camera's frame lock.
class SocketCameraContainer : public CameraContainer {
  public:
    // servicePath: the scene service socket the cameras connect to.
    SocketCameraContainer(API_VersionHandler versions, unsigned mask,
                          std::string servicePath = SocketSceneStream::defaultServicePath());

  protected:
    // A new camera with its reading thread started.
    std::unique_ptr<Camera> createCamera(int cameraId, int rotation,
                                         const API_VersionHandler& versions, int mask) override;
    // Stops every camera's thread and waits for them.
    void shutDownSub() override;

  private:
    void stopAllCameras();
    void joinAllCameras();

    const std::string m_servicePath;
};
