#pragma once

#include <string>

// The configuration text the program starts with.
class DW_StartupConfiguration {
  public:
    DW_StartupConfiguration() = delete;

    // The stored document at the camera path, once the temporary files of
    // interrupted saves beside it are removed. When there is none (missing,
    // empty or not JSON), the default document of the highest configuration
    // API version is saved there and its text returned; an unreadable file is
    // first kept as path + ".bad". A failed save is logged and the default
    // text still returned.
    static std::string loadOrCreate(const std::string& path);
};
