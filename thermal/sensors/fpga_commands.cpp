#include "fpga_commands.h"

#include <chrono>
#include <stdexcept>
#include <thread>

namespace thermal {

void writeShutterRequest(FpgaSpi& fpga, uint32_t shutterRegister, int request) {
    static constexpr uint32_t kCommands[] = {1, 4, 2, 8};
    if (request < 0 || request > 3) {
        throw std::invalid_argument("Undefined shutter service!");
    }
    fpga.fpga_write_reg(shutterRegister, kCommands[request]);
}

void writeCaptureMode(FpgaSpi& fpga, int mode) {
    static constexpr uint32_t kModeCodes[] = {6, 1, 2};
    constexpr uint32_t kModeRegister = 0xE000;
    constexpr uint32_t kModeBits = 7u << 10;
    if (mode < 1 || mode > 3) {
        throw std::invalid_argument("Undefined capture mode option!");
    }
    const uint32_t current = fpga.read(kModeRegister);
    fpga.fpga_write_reg(kModeRegister, (current & ~kModeBits) | kModeCodes[mode - 1] << 10);
    fpga.fpga_write_reg(0x6008, 0);
    fpga.fpga_write_reg(0x6004, 0x4000);
    fpga.fpga_write_reg(0x6000, 0);
    fpga.fpga_write_reg(0x1A000, 0);
    if (mode == 1) {
        fpga.fpga_write_reg(0x18000, 0);
    }
}

ImageFilterSettings ImageFilterSettings::fromConfiguration(
    const Pictor::BlockConfiguration& configuration, int defaultHoldPulse) {
    return {configuration.getInt("spat_flt_thresh", 0),
            configuration.getInt("spat_flt_fract", 0),
            configuration.getInt("temp_flt_thresh", 0),
            configuration.getInt("temp_flt_fract", 0),
            configuration.getInt("shutter_move_pulse", 40),
            configuration.getInt("shutter_hold_pulse", defaultHoldPulse)};
}

void writeImageFilters(FpgaSpi& fpga, const ImageFilterSettings& settings) {
    const auto filter = [](int threshold, int fraction) {
        return uint32_t(threshold & 0x3FF) | uint32_t(fraction & 0x1F) << 10;
    };
    fpga.fpga_write_reg(0x1A008, filter(settings.spatialThreshold, settings.spatialFraction));
    fpga.fpga_write_reg(0x1A004, filter(settings.temporalThreshold, settings.temporalFraction));
    fpga.fpga_write_reg(0x1A000, 7);
}

void writeShutterPulses(FpgaSpi& fpga, const ImageFilterSettings& settings) {
    fpga.fpga_write_reg(0x1E008, uint32_t(settings.shutterMovePulse & 0x3FF) |
                                     (uint32_t(settings.shutterHoldPulse << 10) & 0xFFC00));
}

void startOnePointVideo(FpgaSpi& fpga, uint32_t shutterRegister) {
    constexpr uint32_t kVideoModeRegister = 0xE000;
    constexpr uint32_t kOnePointVideo = 2514976;
    fpga.fpga_write_reg(shutterRegister, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    fpga.fpga_write_reg(kVideoModeRegister, kOnePointVideo);
}

void writeTestPattern(FpgaSpi& fpga, bool on) {
    fpga.fpga_write_reg(0x1A010, on ? 1 : 0);
}

void CaptureRegisterState::save(FpgaSpi& fpga) {
    std::array<uint32_t, 5> values{};
    for (size_t i = 0; i < kRegisters.size(); ++i) {
        values[i] = fpga.read(kRegisters[i]);
    }
    m_saved = values;
}

bool CaptureRegisterState::restore(FpgaSpi& fpga) const {
    if (!m_saved) {
        return false;
    }
    for (size_t i = 0; i < kRegisters.size(); ++i) {
        fpga.fpga_write_reg(kRegisters[i], (*m_saved)[i]);
    }
    return true;
}

}  // namespace thermal
