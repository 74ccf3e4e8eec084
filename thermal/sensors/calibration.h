#pragma once

#include "fpga_spi.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace thermal {

// Per-camera calibration files, each named with the block's channel number.
constexpr const char* kCalibrationDirectory = "/usr/lib/persistent/usr/share/sensor_analysis/";

std::string biasFile(int channel);
std::string defectPixelFile(int channel);
std::string gainTableFile(int channel, int level);

// The lens zoom magnifications that have a gain-correction table, in upload
// order, as numbers and as they appear in the file names.
constexpr int kZoomLevels = 10;
extern const std::array<float, kZoomLevels> kZoomMagnifications;
extern const std::array<const char*, kZoomLevels> kZoomNames;

// The two sensor bias voltages of the bias file (B first, then A); none when
// the file is missing or not exactly two floats long.
struct BiasVoltages {
    float b = 0.0f;
    float a = 0.0f;
};
std::optional<BiasVoltages> loadBiasFile(int channel);

// Where a member's gain tables go in FPGA memory.
struct GainTableLayout {
    uint32_t tableBytes;            // 2 bytes a pixel
    uint32_t uploadOffset;          // added to the base register for the upload
    uint32_t memoryLimit;           // a table may start at most this far above 0x10000000
    uint32_t blendOffset = 895104;  // table addresses as the blend registers take them
};

enum class UploadResult { Done, Failed, MemoryFull, Cancelled };

// Uploads the ten gain tables one after the other from the base that register
// 0x1A00C gives. Every FPGA access holds `registerMutex`, taken per table so
// that the block's own runs go on between tables. Logs "FPGA memory full!"
// when the tables would not fit; stops between tables once `cancel` is set.
UploadResult uploadGainTables(FpgaSpi& fpga, std::mutex& registerMutex,
                              const GainTableLayout& layout, int channel,
                              const std::atomic<bool>& cancel);

// The two gain tables to blend for a zoom magnification and the weight
// register value. A magnification beyond the tables blends the first two as
// the table for 1.0-2.0 does; the weight is kept within its table pair.
struct ZoomBlend {
    int index;        // tables index and index + 1
    uint32_t weight;  // 0x8001C000: 11-bit weight | 0x800
};
ZoomBlend zoomBlend(float magnification, uint32_t scale);

// Selects and blends the gain tables for a magnification (0x8001C004,
// 0x8001C008, 0x8001C000).
void writeZoomBlend(FpgaSpi& fpga, const GainTableLayout& layout, float magnification);

}  // namespace thermal
