#pragma once

#include <cstdint>

// A PTZ preset event: the camera arrived at or left a preset position.
// time: microseconds of the monotonic clock.
struct PTZ_PresetEvent {
    static constexpr int kNoToken = -1;

    bool onPreset;
    int presetToken;  // kNoToken when the event names no preset
    int64_t time;
};

// A PTZ movement event: the camera started or stopped moving.
struct PTZ_MovementEvent {
    bool moving;
    int64_t time;
};
