#pragma once

#include <cstdint>

// Which frames a guard evaluates on a camera that pans, tilts and zooms
// mechanically: none while the camera moves, and none stamped before the
// latest movement (for a guard bound to no preset) or before the arrival at
// the guard's preset. Every frame is evaluated on other cameras. Not
// thread-safe: the guard serialises the calls.
class PtzState {
  public:
    static constexpr int kNoPreset = -2;     // bound to no preset
    static constexpr int kAnyPreset = -1;    // bound to whatever preset the camera is at
    static constexpr int kNotAtPreset = -3;  // the camera is at no (known) preset

    // Times are microseconds of the monotonic clock.
    PtzState(int preset, bool isMechanicalPTZ)
        : m_preset(preset), m_isMechanicalPTZ(isMechanicalPTZ) {}

    bool shouldDataBeProcessed(int64_t frameTime) const;

    // The preset the camera is at when the guard starts working.
    void setCurrentPreset(int preset) { m_currentPreset = preset; }
    void arriveAtPreset(int preset, int64_t time);
    void leavePreset() { m_currentPreset = kNotAtPreset; }
    void setMoving(bool moving, int64_t time);

  private:
    int m_preset;
    int m_currentPreset = kNotAtPreset;
    int64_t m_presetArrivalTime = 0;
    int64_t m_movementTime = 0;
    bool m_isMechanicalPTZ;
    bool m_isMoving = false;
};
