#include "register_chip_model.h"

#include <algorithm>

namespace thermalsim {

RegisterChipModel::RegisterChipModel(std::string chip, std::set<uint32_t> definedRegisters)
    : m_chip(std::move(chip)),
      m_defined(std::move(definedRegisters)),
      m_registers(*m_defined.rbegin() + 1, 0) {}

std::vector<RegisterAccess> RegisterChipModel::accesses() const {
    std::lock_guard<std::mutex> lock(mutex());
    return m_accesses;
}

std::vector<std::string> RegisterChipModel::violations() const {
    std::lock_guard<std::mutex> lock(mutex());
    return m_violations;
}

uint32_t RegisterChipModel::registerValue(uint32_t address) const {
    std::lock_guard<std::mutex> lock(mutex());
    return address < m_registers.size() ? m_registers[address] : 0;
}

const uint8_t* RegisterChipModel::singleMessage(const spi_ioc_transfer* transfers, unsigned count,
                                                uint32_t length) {
    constexpr uint32_t kMaxSpeedHz = 40000000;
    if (count != 1 || transfers[0].len != length) {
        violation("expected one message of " + std::to_string(length) + " bytes");
        return nullptr;
    }
    if ((transfers[0].bits_per_word != 0 && transfers[0].bits_per_word != 8) ||
        transfers[0].speed_hz > kMaxSpeedHz) {
        violation("message not at 8 bits a word and at most 40 MHz");
        return nullptr;
    }
    return reinterpret_cast<const uint8_t*>(uintptr_t(transfers[0].tx_buf));
}

bool RegisterChipModel::admit(RegisterAccess::Kind kind, uint32_t address, uint32_t value) {
    const std::string what =
        (kind == RegisterAccess::Kind::Write ? "write of register " : "read of register ") +
        std::to_string(address);
    m_accesses.push_back({kind, address, value});
    if (m_defined.count(address) == 0) {
        violation(what + ": no such register");
        return false;
    }
    if (Clock::now() < m_busyUntil) {
        violation(what + " while " + m_busyReason);
        return false;
    }
    if (!m_reset && !(kind == RegisterAccess::Kind::Write && address == 0)) {
        violation(what + " before the reset");
        return false;
    }
    m_reset = true;
    return true;
}

void RegisterChipModel::violation(const std::string& what) {
    m_violations.push_back(m_chip + ": " + what);
}

void RegisterChipModel::busyFor(std::chrono::microseconds duration, const std::string& reason) {
    m_busyUntil = Clock::now() + duration;
    m_busyReason = reason;
}

void RegisterChipModel::resetRegisters() {
    std::fill(m_registers.begin(), m_registers.end(), 0u);
}

}  // namespace thermalsim
