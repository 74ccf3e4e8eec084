#pragma once

#include "device_simulation.h"

#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace thermalsim {

// One register access seen by a chip model.
struct RegisterAccess {
    enum class Kind { Write, Read };
    Kind kind;
    uint32_t address;
    uint32_t value;
    bool operator==(const RegisterAccess& other) const {
        return kind == other.kind && address == other.address && value == other.value;
    }
};

// The common part of the SPI converter models: a register file with a fixed
// set of defined registers, the log of accesses, and the protocol faults seen
// (messages of the wrong form, access before the reset, access while the chip
// is still busy after a reset or a start-up step). A well-behaved driver
// leaves violations() empty.
class RegisterChipModel : public camlet::devices::SimulatedDevice {
  public:
    std::vector<RegisterAccess> accesses() const;
    std::vector<std::string> violations() const;
    uint32_t registerValue(uint32_t address) const;

  protected:
    using Clock = std::chrono::steady_clock;

    RegisterChipModel(std::string chip, std::set<uint32_t> definedRegisters);

    // All under mutex(), called from transfer():
    // The bytes sent in a transfer that must be one message of this length at
    // 8 bits a word and no more than 40 MHz; null (and a violation) otherwise.
    const uint8_t* singleMessage(const spi_ioc_transfer* transfers, unsigned count,
                                 uint32_t length);
    // Checks and logs an access; false when it is refused (undefined register,
    // chip busy or not reset yet).
    bool admit(RegisterAccess::Kind kind, uint32_t address, uint32_t value);
    void violation(const std::string& what);
    // The chip is busy (refuses access) for this long from now.
    void busyFor(std::chrono::microseconds duration, const std::string& reason);
    void resetRegisters();
    uint32_t& reg(uint32_t address) { return m_registers[address]; }

  private:
    std::string m_chip;
    std::set<uint32_t> m_defined;
    std::vector<RegisterAccess> m_accesses;  // under mutex()
    std::vector<std::string> m_violations;   // under mutex()
    std::vector<uint32_t> m_registers;       // under mutex()
    bool m_reset = false;
    Clock::time_point m_busyUntil;
    std::string m_busyReason;
};

}  // namespace thermalsim
