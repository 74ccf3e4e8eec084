#pragma once

#include <jansson.h>

#include <vector>

// One camera of a configuration document.
struct CgiCamera {
    bool active = false;
    int id = 0;
    int rotation = 0;
    // Resolution of the camera's alarm overlay; -1, -1 when not configured.
    int overlayWidth = -1;
    int overlayHeight = -1;

    bool hasOverlaySize() const { return overlayWidth != -1 && overlayHeight != -1; }
};

namespace cgiCamera {

// The cameras of the document's params in document order, each checked
// (rotation, id from 1 to the number of video channels, overlay resolution)
// and no id twice. Throws StatusException.
std::vector<CgiCamera> parseCameras(const json_t* params);

}  // namespace cgiCamera
