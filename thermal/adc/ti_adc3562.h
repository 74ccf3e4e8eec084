#pragma once

#include "pictor/block.h"
#include "spi_link.h"

#include <cstdint>
#include <string>

namespace thermal {

// Brings the ADC3562 up: opens the link ("Failed to open device " + path when
// it cannot), resets the chip, writes the settings with the waits the chip
// needs, logs the diagnostic read-back and closes the link again (also when a
// transfer throws).
void setUpAdc3562(SpiLink& link);

}  // namespace thermal

// "TiAdc3562": configures the ADC3562 on "/dev/spidev" + the configured
// "device" (default "2.2") when the pipeline starts. No ports.
class TiAdc3562Block : public Pictor::Block {
  public:
    TiAdc3562Block(const std::string& name, const Pictor::BlockConfiguration& configuration);

    void start() override;

  private:
    thermal::SpiLink m_spi;
};
