#pragma once

#include <istream>
#include <string>

#include "scenario.h"

namespace scenesim {

// What a MOT Challenge file needs to become a scenario.
struct MotImage {
    int width = 0;     // pixels
    int height = 0;    // pixels
    double fps = 0.0;  // frames per second
    int channel = 1;
};

// Reads MOT Challenge tracking lines ("frame, id, left, top, width, height,
// ...", pixels, frames from 1) into one scenario frame per image, from the
// first to one after the last: boxes become outlines in scene coordinates,
// and each track's end becomes a delete event in the frame after its last box.
// Throws std::runtime_error naming the first bad line.
Scenario importMot(std::istream& in, const MotImage& image);
Scenario importMotFile(const std::string& path, const MotImage& image);

}  // namespace scenesim
