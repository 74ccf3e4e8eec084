#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace thermalsim {

// Writes a camera's calibration files under CAMLET_ROOT's calibration
// directory ("/usr/lib/persistent/usr/share/sensor_analysis/"), as the
// factory calibration leaves them for channel N: "bias_channel_N.dat" (two
// little-endian floats, B then A), "gc_channel_N_L.dat" for the ten zoom
// magnifications L (2 bytes a pixel; contents from gainTable()) and
// "dpc_channel_N.dat" (32-bit words).
struct CalibrationSet {
    int channel = 0;
    int width = 384;
    int height = 288;
    std::optional<std::pair<float, float>> bias = std::make_pair(2.5f, 1.5f);
    bool gainTables = true;
    std::vector<uint32_t> defectPixels = {0x00010002, 0x00200030, 0x00FF0100};

    void write() const;
    // The bytes of table `level` (0..9): a gain near 1.0 in 2.14 fixed point
    // that varies over the array and from table to table.
    std::vector<uint8_t> gainTable(int level) const;
};

// Writes a calibration file of arbitrary content (missing or odd-sized
// files in tests).
void writeCalibrationFile(const std::string& name, const std::vector<uint8_t>& bytes);

}  // namespace thermalsim
