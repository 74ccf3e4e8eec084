#include "ads4142_model.h"

namespace thermalsim {

Ads4142Model::Ads4142Model()
    : RegisterChipModel("ADS4142", {0, 1, 3, 37, 38, 61, 63, 64, 65, 66, 67, 74, 191, 207, 223}) {}

int Ads4142Model::transfer(const spi_ioc_transfer* transfers, unsigned count) {
    const uint8_t* tx = singleMessage(transfers, count, 2);
    if (tx == nullptr || !admit(RegisterAccess::Kind::Write, tx[0], tx[1])) {
        return int(transfers[0].len);
    }
    if (tx[0] == 0) {
        if (tx[1] & 0x02) {
            resetRegisters();
            busyFor(std::chrono::milliseconds(2), "resetting");
        }
        return 2;
    }
    reg(tx[0]) = tx[1];
    return 2;
}

}  // namespace thermalsim
