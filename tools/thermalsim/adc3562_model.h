#pragma once

#include "register_chip_model.h"

namespace thermalsim {

// The ADC3562 on its SPI node: three bytes a message. A write is
// (address >> 8 & 0x0F, address & 0xFF, value); a read sets 0x80 in the first
// byte and answers the value in the third. Writing 1 to register 0 resets the
// chip (200 ms until the next access; the reset bit clears itself), and
// writing 1 to register 19 starts an internal step of 10 ms.
class Adc3562Model : public RegisterChipModel {
  public:
    Adc3562Model();

  protected:
    int transfer(const spi_ioc_transfer* transfers, unsigned count) override;
};

}  // namespace thermalsim
