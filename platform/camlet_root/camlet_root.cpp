#include "camlet_root.h"

#include <cstdlib>

namespace camlet {

std::string rootDirectory() {
#if CAMLET_HOST_PLATFORM
    const char* root = std::getenv("CAMLET_ROOT");
    std::string dir = root != nullptr ? root : "";
    while (!dir.empty() && dir.back() == '/') {
        dir.pop_back();
    }
    return dir;
#else
    return {};
#endif
}

std::string rootedPath(const std::string& cameraPath) {
    if (cameraPath.empty() || cameraPath.front() != '/') {
        return cameraPath;
    }
    return rootDirectory() + cameraPath;
}

}  // namespace camlet
