#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "scene_encoder.h"

namespace scenesim {

// One object of a scenario frame, in scene coordinates (-4096 to 4096, y up).
struct ScenarioObject {
    int32_t id = -1;
    std::vector<scene::Point16> outline;
    std::optional<std::array<int32_t, 2>> velocity;  // scene units per second
    std::optional<int16_t> confidence;               // 4096 and above is confident
};

// One frame of a scenario: what the scene service publishes for one analysed image.
struct ScenarioFrame {
    int64_t timeUs = 0;
    int channel = 1;  // the camera id, counted from 1
    std::vector<ScenarioObject> objects;
    std::vector<scene::EventRecord> events;
};

using Scenario = std::vector<ScenarioFrame>;

}  // namespace scenesim
