#pragma once

// Host-side encoder of scene frames, the counterpart of scene_copy_from_area.
// Used by the scene simulator and by tests; the camera has its own producer.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace scene {

struct Point16 {
    int16_t x;
    int16_t y;
};

struct ObjectRecord {
    int32_t id = -1;
    std::optional<std::vector<Point16>> boundingBox;
    std::optional<std::vector<Point16>> outline;
    std::optional<std::array<int32_t, 2>> velocity;
    std::optional<int16_t> confidence;
};

struct EventRecord {
    uint8_t action = 0;  // scene_action_e
    std::vector<int32_t> ids;
    std::vector<int32_t> secondIds;
};

struct FrameRecord {
    std::optional<uint64_t> timestampNs;
    std::vector<ObjectRecord> objects;
    std::vector<EventRecord> events;
};

// The frame as text without NUL bytes; c_str() is the NUL-terminated frame
// that scene_copy_from_area reads. Throws std::length_error when a list has
// more than 65535 entries.
std::string encodeFrame(const FrameRecord& frame);

}  // namespace scene
