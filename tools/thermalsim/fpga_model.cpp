#include "fpga_model.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace thermalsim {
namespace {

constexpr uint32_t kPostingFlag = 0x80000000;
constexpr uint32_t kStatusRegister = 8;
constexpr uint32_t kFrameCounterRegister = 0x10;
constexpr uint32_t kHistogramBoundsRegister = 0x2008;
constexpr uint32_t kHistogramCentreRegister = 0x2018;
constexpr uint32_t kHistogramCutRegister = 0x2024;
constexpr uint32_t kDefaultCutPermille = 5;
constexpr uint32_t kPowerOnVersion = 0x00010200;

}  // namespace

HistogramBounds histogramOf(const std::vector<uint16_t>& frame, uint32_t lowPermille,
                            uint32_t highPermille) {
    // 4096 bins of 16 counts: small enough to stay in the cache.
    std::array<uint32_t, 4096> bins{};
    for (uint16_t value : frame) {
        ++bins[value >> 4];
    }
    const uint64_t total = frame.size();
    const auto binAt = [&](uint64_t rank) {
        uint64_t seen = 0;
        for (size_t bin = 0; bin < bins.size(); ++bin) {
            seen += bins[bin];
            if (seen > rank) {
                return uint32_t(bin * 16 + 8);
            }
        }
        return uint32_t(65535);
    };
    lowPermille = std::min(lowPermille, 1000u);
    highPermille = std::min(highPermille, 1000u);
    return {binAt(total * lowPermille / 1000), binAt(total * (1000 - highPermille) / 1000),
            binAt(total / 2)};
}

FpgaModel::FpgaModel(Options options, std::shared_ptr<SensorModel> sensor)
    : m_options(options),
      m_sensor(std::move(sensor)),
      m_resetLine(m_options.resetLine, [this](int value) {
          std::lock_guard<std::mutex> lock(mutex());
          if (value != 0) {
              m_inReset = true;
          } else if (m_inReset) {
              m_inReset = false;
              ++m_resets;
              powerOn();
          }
      }) {
    std::lock_guard<std::mutex> lock(mutex());
    powerOn();
}

void FpgaModel::powerOn() {
    m_registers.clear();
    m_registers[0] = kPowerOnVersion;
    m_registers[0x1C00C] = 0x400;
    m_memoryReadyAt = Clock::now() + m_options.memoryReadyDelay;
}

void FpgaModel::setRegisterZeroStuck(bool stuck) {
    std::lock_guard<std::mutex> lock(mutex());
    m_registerZeroStuck = stuck;
}

void FpgaModel::setRawTemperature(uint32_t address, RawTemperature conversion) {
    std::lock_guard<std::mutex> lock(mutex());
    m_temperatures[address] = conversion;
}

void FpgaModel::setRegister(uint32_t address, uint32_t value) {
    std::lock_guard<std::mutex> lock(mutex());
    m_temperatures.erase(address & ~kPostingFlag);
    m_registers[address & ~kPostingFlag] = value;
}

uint32_t FpgaModel::registerValue(uint32_t address) const {
    std::lock_guard<std::mutex> lock(mutex());
    const auto found = m_registers.find(address & ~kPostingFlag);
    return found == m_registers.end() ? 0 : found->second;
}

std::vector<std::pair<uint32_t, uint32_t>> FpgaModel::registerWrites() const {
    std::lock_guard<std::mutex> lock(mutex());
    return m_writes;
}

std::vector<uint8_t> FpgaModel::memory(uint32_t address, uint32_t length) const {
    std::lock_guard<std::mutex> lock(mutex());
    std::vector<uint8_t> bytes(length, 0);
    for (uint32_t i = 0; i < length; ++i) {
        const auto page = m_pages.find((address + i) / kPageBytes);
        if (page != m_pages.end()) {
            bytes[i] = page->second[(address + i) % kPageBytes];
        }
    }
    return bytes;
}

void FpgaModel::recordWire(bool on) {
    std::lock_guard<std::mutex> lock(mutex());
    m_recordWire = on;
}

std::vector<FpgaModel::Transfer> FpgaModel::wire() const {
    std::lock_guard<std::mutex> lock(mutex());
    return m_wire;
}

std::vector<std::string> FpgaModel::violations() const {
    std::lock_guard<std::mutex> lock(mutex());
    return m_violations;
}

int FpgaModel::resets() const {
    std::lock_guard<std::mutex> lock(mutex());
    return m_resets;
}

void FpgaModel::advanceFrame() {
    std::lock_guard<std::mutex> lock(mutex());
    renderFrame();
}

std::vector<uint16_t> FpgaModel::frame() const {
    std::lock_guard<std::mutex> lock(mutex());
    return m_frame;
}

int FpgaModel::transfer(const spi_ioc_transfer* transfers, unsigned count) {
    if (m_recordWire) {
        m_wire.emplace_back();
    }
    int moved = 0;
    for (unsigned i = 0; i < count; ++i) {
        const spi_ioc_transfer& t = transfers[i];
        const auto* tx = reinterpret_cast<const uint8_t*>(uintptr_t(t.tx_buf));
        auto* rx = reinterpret_cast<uint8_t*>(uintptr_t(t.rx_buf));
        if (t.bits_per_word != 0 && t.bits_per_word != 8) {
            m_violations.push_back("message not at 8 bits a word");
        }
        if (m_recordWire) {
            m_wire.back().emplace_back(tx, tx + t.len);
        }
        message(tx, rx, t.len);
        moved += int(t.len);
    }
    return moved;
}

void FpgaModel::message(const uint8_t* tx, uint8_t* rx, uint32_t length) {
    if (length == 0) {
        m_violations.push_back("empty message");
        return;
    }
    const uint8_t command = tx[0];
    const uint32_t dataBytes = (command >> 2) & 7;
    const uint32_t addressBytes = (command & 2) ? 4 : 2;
    const bool read = command & 1;
    if (dataBytes < 1 || dataBytes > 4 || length != 1 + addressBytes + dataBytes) {
        m_violations.push_back("malformed message: command " + std::to_string(command) +
                               ", length " + std::to_string(length));
        return;
    }
    uint32_t address = 0;
    for (uint32_t i = 0; i < addressBytes; ++i) {
        address |= uint32_t(tx[1 + i]) << (8 * i);
    }
    const uint8_t* data = tx + 1 + addressBytes;
    if (address >= kMemoryStart && address < kMemoryEnd) {
        if (read || address + dataBytes > kMemoryEnd) {
            m_violations.push_back("memory access out of the window at " + std::to_string(address));
            return;
        }
        writeMemory(address, data, dataBytes);
        return;
    }
    if (dataBytes != 4) {
        m_violations.push_back("register access of " + std::to_string(dataBytes) + " bytes at " +
                               std::to_string(address));
        return;
    }
    if (read) {
        const uint32_t value = readRegister(address & ~kPostingFlag);
        if (rx != nullptr) {
            for (uint32_t i = 0; i < 4; ++i) {
                rx[1 + addressBytes + i] = uint8_t(value >> (8 * i));
            }
        }
        return;
    }
    const uint32_t value = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                           uint32_t(data[3]) << 24;
    m_writes.emplace_back(address, value);
    writeRegister(address & ~kPostingFlag, value);
}

void FpgaModel::writeRegister(uint32_t address, uint32_t value) {
    if (address == 0 && m_registerZeroStuck) {
        value = (value & ~1u) | (m_registers[0] & 1u);
    }
    m_registers[address] = value;
}

uint32_t FpgaModel::readRegister(uint32_t address) {
    if (address == kStatusRegister) {
        if (Clock::now() < m_memoryReadyAt) {
            return 0;
        }
        return 1u | (m_options.memoryPasses ? 2u : 0u);
    }
    if (address == kFrameCounterRegister) {
        const double rate =
            std::min(m_options.frameRate, m_options.frameRateLimit.value_or(m_options.frameRate));
        const double seconds = std::chrono::duration<double>(Clock::now() - m_start).count();
        return uint32_t(seconds * rate);
    }
    if (address == kHistogramBoundsRegister) {
        renderFrame();
    }
    const auto temperature = m_temperatures.find(address);
    if (temperature != m_temperatures.end() && m_sensor) {
        const RawTemperature& c = temperature->second;
        m_noiseState = m_noiseState * 1103515245u + 12345u;
        const int noise =
            c.noiseCounts == 0
                ? 0
                : int((m_noiseState >> 16) % uint32_t(2 * c.noiseCounts + 1)) - c.noiseCounts;
        const double milliC = m_sensor->fpaCelsius() * 1000.0;
        const double raw = c.r0 + (milliC - c.referenceMilliC) * c.k2 / c.k1 + noise;
        return uint32_t(int64_t(std::llround(raw))) & c.mask;
    }
    const auto found = m_registers.find(address);
    return found == m_registers.end() ? 0 : found->second;
}

void FpgaModel::writeMemory(uint32_t address, const uint8_t* data, uint32_t length) {
    for (uint32_t i = 0; i < length; ++i) {
        std::vector<uint8_t>& page = m_pages[(address + i) / kPageBytes];
        if (page.empty()) {
            page.assign(kPageBytes, 0);
        }
        page[(address + i) % kPageBytes] = data[i];
    }
}

void FpgaModel::renderFrame() {
    if (!m_sensor) {
        return;
    }
    m_sensor->render(m_frame);
    const auto permille = [](uint32_t share) { return share == 0 ? kDefaultCutPermille : share; };
    const uint32_t cut = m_registers[kHistogramCutRegister];
    const HistogramBounds bounds = histogramOf(m_frame, permille(cut & 0xFFFF), permille(cut >> 16));
    m_registers[kHistogramBoundsRegister] = bounds.low | bounds.high << 16;
    m_registers[kHistogramCentreRegister] = bounds.centre;
}

}  // namespace thermalsim
