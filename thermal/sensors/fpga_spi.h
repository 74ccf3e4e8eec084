#pragma once

#include "spi_link.h"

#include <cstdint>
#include <string>

namespace thermal {

// The FPGA's SPI node on the thermal module.
constexpr const char* kFpgaDevice = "/dev/spidev2.1";

// One FPGA register transaction. A read ORs the received value into `value`,
// so callers clear it first.
struct RegisterSetting {
    uint32_t address = 0;
    uint32_t value = 0;
};

// The FPGA's register protocol. Every message starts with a command byte:
// bits 2-4 the number of data bytes, bit 1 set for a 32-bit address (clear for
// 16 bits), bit 0 set for a read; then the address and the data, both
// little-endian. The node is opened on first use, reopened after a close, and
// closed on destruction. Transfer failures throw std::runtime_error.
class FpgaSpi {
  public:
    explicit FpgaSpi(std::string devicePath = kFpgaDevice);

    const std::string& devicePath() const { return m_link.devicePath(); }

    // Opens the node; throws "Failed to open fd " + path.
    void fpga_create();
    void fpga_close();

    void fpga_write_reg(uint32_t address, uint32_t value);
    void fpga_read_msg(RegisterSetting& setting);
    // A fresh read of one register.
    uint32_t read(uint32_t address);

    // Streams a file into FPGA memory from a byte address, 60 bytes a
    // transfer. 0 when the whole file went out, -1 when it cannot be opened
    // (logged as missing).
    int fpga_write_mem_from_file(const std::string& cameraPath, uint32_t address);
    // Writes a file of 32-bit little-endian words to consecutive registers
    // (4 bytes apart) from `address`; a trailing partial word is dropped with a
    // warning. Same results.
    int fpga_write_reg_from_file(const std::string& cameraPath, uint32_t address);

  private:
    void ensureOpen();

    SpiLink m_link;
};

// Pulses the FPGA's reset line "fpga_reset" (1, 1 ms, 0).
void fpga_reset();

// Inverts bit 0 of register 0 and reads it back, then restores the register;
// throws "Could not read or write to FPGA register" when the bit did not move.
void fpgaSelfTest(FpgaSpi& fpga);

// Polls register 8 every 15 ms until the external memory is ready (bit 0) and
// throws "FPGA external memory initialization failed" unless it passed its
// test (bit 1), or when it is not ready within `timeoutMs`.
void waitForExternalMemory(FpgaSpi& fpga, int timeoutMs = 3000);

}  // namespace thermal
