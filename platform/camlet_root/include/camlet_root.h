#pragma once

#include <string>

namespace camlet {

// Maps an absolute path of the camera's file system to the path to use on this
// machine. Host builds place every such path under the directory named by the
// environment variable CAMLET_ROOT (unset or empty means "/"); camera builds
// return the path unchanged. Relative paths are returned unchanged.
std::string rootedPath(const std::string& cameraPath);

// The directory that stands for "/" (without a trailing slash; empty for "/").
std::string rootDirectory();

}  // namespace camlet
