#include "fpga_commands.h"

#include <stdexcept>

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
