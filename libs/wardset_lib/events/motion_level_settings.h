#pragma once

#include <string>

// The stored enabled state of the motion-level events: {"active": <bool>}.
class MotionLevelSettings {
  public:
    MotionLevelSettings() = delete;

    // Stores the state at the path; false when it could not be written.
    // Throws std::runtime_error when the JSON value cannot be built.
    static bool save(bool active, const std::string& path);
};
