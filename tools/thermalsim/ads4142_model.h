#pragma once

#include "register_chip_model.h"

namespace thermalsim {

// The ADS4142 video ADC on its SPI node: write-only, two bytes a message
// (address, value). Writing 2 to register 0 resets the chip, which then needs
// 2 ms before the next access.
class Ads4142Model : public RegisterChipModel {
  public:
    Ads4142Model();

  protected:
    int transfer(const spi_ioc_transfer* transfers, unsigned count) override;
};

}  // namespace thermalsim
