#pragma once

// The private link between the subscriber library stand-in and the scene
// simulator that serves it (see README.md).

#include <cstdint>

namespace scene_subscriber {

// Camera path of the simulator's subscriber socket.
constexpr const char* kServicePath = "/var/run/bedrock/scene_subscriber";
// Largest frame the link carries; a longer announcement ends the connection.
constexpr uint32_t kMaxFrameLength = 4 * 1024 * 1024;

}  // namespace scene_subscriber
