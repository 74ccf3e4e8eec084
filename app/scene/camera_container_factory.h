#pragma once

#include <functional>
#include <memory>

#include "base/api_version_handler.h"
#include "scene/camera_container.h"

// Chooses the scene transport of the whole program from the platform
// version and builds the matching camera container.
class CameraContainerFactory {
  public:
    static constexpr unsigned kRetryDelayUs = 100000;

    CameraContainerFactory() = delete;

    // Platforms before the subscriber library's version use the scene
    // service socket, the others the subscriber library. Blocks, trying
    // every 100 ms, until the chosen transport is reachable, or gives null
    // once stopRequested() holds after a failed try.
    static std::unique_ptr<CameraContainer> create(
        API_VersionHandler versions, unsigned mask,
        const std::function<bool()>& stopRequested = [] { return false; });

  private:
    // One attempt; null when the transport cannot be reached yet.
    static std::unique_ptr<CameraContainer> tryCreate(bool useSocket,
                                                      const API_VersionHandler& versions,
                                                      unsigned mask);
};
