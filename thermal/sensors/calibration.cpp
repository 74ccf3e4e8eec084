#include "calibration.h"

#include "camlet_root.h"
#include "pictor/log.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace thermal {
namespace {

constexpr uint32_t kTableBaseRegister = 0x1A00C;
constexpr uint32_t kBlendScaleRegister = 0x1C00C;
constexpr uint32_t kBlendWeightRegister = 0x8001C000;
constexpr uint32_t kBlendLowTableRegister = 0x8001C004;
constexpr uint32_t kBlendHighTableRegister = 0x8001C008;
constexpr uint32_t kMemoryStart = 0x10000000;

std::string channelFile(const char* stem, int channel, const std::string& suffix) {
    return std::string(kCalibrationDirectory) + stem + std::to_string(channel) + suffix;
}

float floatAt(const std::vector<char>& bytes, size_t offset) {
    uint32_t bits = 0;
    for (size_t i = 0; i < 4; ++i) {
        bits |= uint32_t(uint8_t(bytes[offset + i])) << (8 * i);
    }
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

const std::array<float, kZoomLevels> kZoomMagnifications = {1.0f, 2.0f, 2.2f, 2.4f, 2.5f,
                                                            2.6f, 2.7f, 2.8f, 2.9f, 3.0f};
const std::array<const char*, kZoomLevels> kZoomNames = {"1.0", "2.0", "2.2", "2.4", "2.5",
                                                         "2.6", "2.7", "2.8", "2.9", "3.0"};

std::string biasFile(int channel) {
    return channelFile("bias_channel_", channel, ".dat");
}

std::string defectPixelFile(int channel) {
    return channelFile("dpc_channel_", channel, ".dat");
}

std::string gainTableFile(int channel, int level) {
    return channelFile("gc_channel_", channel, std::string("_") + kZoomNames[level] + ".dat");
}

std::optional<BiasVoltages> loadBiasFile(int channel) {
    const std::string path = biasFile(channel);
    std::ifstream file(camlet::rootedPath(path), std::ios::binary);
    if (!file) {
        Pictor::ilog(Pictor::LogLevel::Warning, "File %s is missing!", path.c_str());
        return std::nullopt;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file),
                                  std::istreambuf_iterator<char>()};
    if (bytes.size() != 8) {
        return std::nullopt;
    }
    return BiasVoltages{floatAt(bytes, 0), floatAt(bytes, 4)};
}

UploadResult uploadGainTables(FpgaSpi& fpga, std::mutex& registerMutex,
                              const GainTableLayout& layout, int channel,
                              const std::atomic<bool>& cancel) {
    uint32_t address;
    {
        std::lock_guard<std::mutex> lock(registerMutex);
        address = (fpga.read(kTableBaseRegister) & 0xFFFFFF) + layout.uploadOffset;
    }
    for (int level = 0; level < kZoomLevels; ++level) {
        if (cancel) {
            return UploadResult::Cancelled;
        }
        if (address > kMemoryStart + layout.memoryLimit) {
            Pictor::ilog(Pictor::LogLevel::Error, "FPGA memory full!");
            return UploadResult::MemoryFull;
        }
        std::lock_guard<std::mutex> lock(registerMutex);
        if (fpga.fpga_write_mem_from_file(gainTableFile(channel, level), address) != 0) {
            return UploadResult::Failed;
        }
        address += layout.tableBytes;
    }
    return UploadResult::Done;
}

ZoomBlend zoomBlend(float magnification, uint32_t scale) {
    int index = 0;
    float low = 1.0f;
    float span = 1.0f;
    for (int i = 0; i + 1 < kZoomLevels; ++i) {
        if (kZoomMagnifications[i + 1] >= magnification) {
            index = i;
            low = kZoomMagnifications[i];
            span = kZoomMagnifications[i + 1] - low;
            break;
        }
    }
    // Below the first table or beyond the last the weight would leave the
    // table pair (and its 11 bits); it stays at the pair's nearer end.
    const float fraction = std::clamp((magnification - low) / span, 0.0f, 1.0f);
    const uint32_t weight = uint32_t(fraction * float(scale & 0x7FF));
    return {index, std::min<uint32_t>(weight, 0x7FF) | 0x800};
}

void writeZoomBlend(FpgaSpi& fpga, const GainTableLayout& layout, float magnification) {
    const uint32_t base = fpga.read(kTableBaseRegister) & 0xFFFFFF;
    const ZoomBlend blend = zoomBlend(magnification, fpga.read(kBlendScaleRegister));
    const auto tableAt = [&](int index) {
        return (base + layout.blendOffset + uint32_t(index) * layout.tableBytes) & 0xFFFFFF;
    };
    fpga.fpga_write_reg(kBlendLowTableRegister, tableAt(blend.index));
    fpga.fpga_write_reg(kBlendHighTableRegister, tableAt(blend.index + 1));
    fpga.fpga_write_reg(kBlendWeightRegister, blend.weight);
}

}  // namespace thermal
