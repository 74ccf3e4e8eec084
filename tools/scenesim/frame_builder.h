#pragma once

#include <string>

#include "scenario.h"

namespace scenesim {

// The encoded frame text for a subscriber that asked for the contents of mask
// (1 bounding box, 2 outline, 4 velocity, 8 low-confidence objects). The
// bounding box is the rectangle around the outline; without bit 8,
// low-confidence objects are left out and no confidence is sent.
std::string buildFrame(const ScenarioFrame& frame, unsigned mask, int64_t timeOffsetUs = 0);

}  // namespace scenesim
