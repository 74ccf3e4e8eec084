#pragma once

#include <string>

// The configuration text the program starts with.
class DW_StartupConfiguration {
  public:
    DW_StartupConfiguration() = delete;

    // The stored document at the camera path. When there is none (missing,
    // empty or not JSON), the default document of the highest configuration
    // API version is saved there and its text returned; a failed save is
    // logged and the default text still returned.
    static std::string loadOrCreate(const std::string& path);
};
