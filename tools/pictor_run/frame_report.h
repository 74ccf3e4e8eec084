#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "thermal_run.h"

namespace pictor_run {

// One line of a frame's values for a person to read.
std::string formatFrameLine(const FrameValues& values);

// Writes the values of each frame as a CSV line under a header line.
class CsvWriter {
  public:
    // Throws std::runtime_error when the file cannot be created.
    explicit CsvWriter(const std::string& path);
    void write(const FrameValues& values);

  private:
    std::ofstream m_out;
};

// Writes an 8-bit grey picture; false with the reason in `error` when it
// cannot be written.
bool writeGreyPng(const std::string& path, const std::vector<uint8_t>& pixels, int width,
                  int height, std::string& error);

// Draws the values over time as an SVG picture: the temperatures, the
// integration time with the shutter requests, and the gain mode with the
// histogram bounds. False with the reason in `error` when it cannot be written.
bool writeSvgChart(const std::string& path, const std::vector<FrameValues>& frames,
                   const std::string& title, std::string& error);

}  // namespace pictor_run
