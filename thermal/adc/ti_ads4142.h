#pragma once

#include "pictor/block.h"
#include "spi_link.h"

#include <string>

namespace thermal {

// The ADS4142's SPI node on the thermal module.
constexpr const char* kAds4142Device = "/dev/spidev2.2";
// Converter chips are clocked at 40 MHz.
constexpr uint32_t kConverterSpiHz = 40000000;

// Brings the ADS4142 up: opens the link, resets the chip, waits for the reset
// to end, writes the video settings and closes the link again (also when a
// transfer throws). The all-in-one sensor blocks call it with their own link.
void setUpAds4142(SpiLink& link);

}  // namespace thermal

// "TiAds4142": configures the ADS4142 when the pipeline starts. No ports.
class TiAds4142Block : public Pictor::Block {
  public:
    TiAds4142Block(const std::string& name, const Pictor::BlockConfiguration& configuration);

    void start() override;

  private:
    thermal::SpiLink m_spi;
};
