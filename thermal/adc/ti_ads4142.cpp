#include "ti_ads4142.h"

#include <chrono>
#include <thread>
#include <utility>

namespace thermal {
namespace {

void writeRegister(SpiLink& link, uint8_t address, uint8_t value) {
    const uint8_t message[2] = {address, value};
    link.transfer(message, nullptr, sizeof message);
}

}  // namespace

void setUpAds4142(SpiLink& link) {
    static constexpr std::pair<uint8_t, uint8_t> kSettings[] = {
        {1, 0},    {3, 0},  {37, 8}, {38, 0}, {61, 192}, {63, 0},  {64, 0},
        {65, 192}, {66, 0}, {67, 0}, {74, 0}, {191, 0},  {207, 0}, {223, 48}};
    link.openOrThrow();
    SpiSession session(link);
    writeRegister(link, 0, 2);  // software reset
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    for (const auto& [address, value] : kSettings) {
        writeRegister(link, address, value);
    }
}

}  // namespace thermal

TiAds4142Block::TiAds4142Block(const std::string& name,
                               const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration),
      m_spi(thermal::kAds4142Device, thermal::kConverterSpiHz) {}

void TiAds4142Block::start() {
    thermal::setUpAds4142(m_spi);
}
