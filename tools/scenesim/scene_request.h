#pragma once

#include <optional>
#include <string>

namespace scenesim {

// A stream request of the scene service socket: "<version> OPEN <bits...> <camera>".
struct SceneRequest {
    std::string version;
    unsigned mask = 0;
    int cameraId = 0;
};

// The request, when the line is one for a known scene version (1.0 names the
// bits 1, 2 and 4; 1.1 also bit 8).
std::optional<SceneRequest> parseSceneRequest(const std::string& line);

// True when a service of serviceVersion serves streams of requested (the known
// versions up to its own).
bool servesVersion(const std::string& serviceVersion, const std::string& requested);

}  // namespace scenesim
