#include "ti_adc3562.h"

#include "pictor/log.h"
#include "ti_ads4142.h"

#include <chrono>
#include <stdexcept>
#include <thread>
#include <utility>

namespace thermal {
namespace {

using Setting = std::pair<uint16_t, uint8_t>;

void writeRegister(SpiLink& link, uint16_t address, uint8_t value) {
    const uint8_t message[3] = {uint8_t((address >> 8) & 0x0F), uint8_t(address & 0xFF), value};
    link.transfer(message, nullptr, sizeof message);
}

uint8_t readRegister(SpiLink& link, uint16_t address) {
    const uint8_t message[3] = {uint8_t(0x80 | ((address >> 8) & 0x0F)), uint8_t(address & 0xFF),
                                0};
    uint8_t answer[3] = {};
    link.transfer(message, answer, sizeof message);
    return answer[2];
}

template <size_t N>
void writeRegisters(SpiLink& link, const Setting (&settings)[N]) {
    for (const auto& [address, value] : settings) {
        writeRegister(link, address, value);
    }
}

}  // namespace

void setUpAdc3562(SpiLink& link) {
    static constexpr Setting kStartUp[] = {{7, 75}, {19, 1}};
    static constexpr Setting kSettings[] = {{19, 0}, {17, 1}, {25, 16}, {27, 136},
                                            {8, 2},  {9, 3},  {14, 10}, {26, 64},
                                            {36, 0}, {37, 0}, {143, 2}};
    static constexpr uint16_t kReadBack[] = {0, 7, 19, 19, 8, 9, 14, 25, 27, 36, 37, 143};
    if (!link.open()) {
        throw std::runtime_error("Failed to open device " + link.devicePath());
    }
    SpiSession session(link);
    writeRegister(link, 0, 1);  // reset
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    writeRegisters(link, kStartUp);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    writeRegisters(link, kSettings);
    for (const uint16_t address : kReadBack) {
        Pictor::ilog(Pictor::LogLevel::Debug, "ADC reg addr[%u] data[%u]", unsigned(address),
                     unsigned(readRegister(link, address)));
    }
}

}  // namespace thermal

TiAdc3562Block::TiAdc3562Block(const std::string& name,
                               const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration),
      m_spi("/dev/spidev" + configuration.getString("device", "2.2"), thermal::kConverterSpiHz) {}

void TiAdc3562Block::start() {
    thermal::setUpAdc3562(m_spi);
}
