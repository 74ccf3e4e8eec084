#include "scene/socket_camera_container.h"

#include <utility>

SocketCameraContainer::SocketCameraContainer(API_VersionHandler versions, unsigned mask,
                                             std::string servicePath)
    : CameraContainer(std::move(versions), mask), m_servicePath(std::move(servicePath)) {}

std::unique_ptr<Camera> SocketCameraContainer::createCamera(int cameraId, int rotation,
                                                            const API_VersionHandler& versions,
                                                            int mask) {
    auto camera = std::make_unique<SocketCamera>(cameraId, rotation, versions, mask, m_servicePath);
    camera->start();
    return camera;
}

void SocketCameraContainer::shutDownSub() {
    stopAllCameras();
    joinAllCameras();
}

void SocketCameraContainer::stopAllCameras() {
    for (const auto& camera : s_cameras) {
        camera->stop();
    }
}

void SocketCameraContainer::joinAllCameras() {
    for (const auto& camera : s_cameras) {
        camera->join();
    }
}
