#include "scene/camera_container_factory.h"

#include <glib.h>

#include "base/camera_info.h"
#include "base/constants.h"
#include "base/retry_log.h"
#include "scene/callback_camera_container.h"
#include "scene/scene_reader.h"
#include "scene/socket_camera_container.h"
#include "scene/socket_scene_stream.h"
#include "scene/video_scene_subscriber.h"

std::unique_ptr<CameraContainer> CameraContainerFactory::create(
    API_VersionHandler versions, unsigned mask, const std::function<bool()>& stopRequested) {
    const bool useSocket =
        CameraInfo::getSDK_Version() < API_Version(constants::kSceneSubscriberMinPlatformVersion);
    RetryLog retryLog("Scene transport");
    for (;;) {
        std::unique_ptr<CameraContainer> container;
        retryLog.attempt([&] {
            container = tryCreate(useSocket, versions, mask);
            return container != nullptr;
        });
        if (container || stopRequested()) {
            return container;
        }
        g_usleep(kRetryDelayUs);
    }
}

std::unique_ptr<CameraContainer> CameraContainerFactory::tryCreate(
    bool useSocket, const API_VersionHandler& versions, unsigned mask) {
    if (useSocket) {
        const int probe = SceneReader::connect(SocketSceneStream::defaultServicePath().c_str());
        if (probe < 0) {
            return nullptr;
        }
        SceneReader::disconnect(probe);
        return std::make_unique<SocketCameraContainer>(versions, mask);
    }
    if (!VideoSceneSubscriber::initialize()) {
        return nullptr;
    }
    return std::make_unique<CallbackCameraContainer>(versions, mask);
}
