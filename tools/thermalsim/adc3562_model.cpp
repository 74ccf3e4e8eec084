#include "adc3562_model.h"

namespace thermalsim {

Adc3562Model::Adc3562Model()
    : RegisterChipModel("ADC3562", {0, 7, 8, 9, 14, 17, 19, 25, 26, 27, 36, 37, 143}) {}

int Adc3562Model::transfer(const spi_ioc_transfer* transfers, unsigned count) {
    const uint8_t* tx = singleMessage(transfers, count, 3);
    if (tx == nullptr) {
        return int(transfers[0].len);
    }
    const uint32_t address = uint32_t(tx[0] & 0x0F) << 8 | tx[1];
    if (tx[0] & 0x80) {
        auto* rx = reinterpret_cast<uint8_t*>(uintptr_t(transfers[0].rx_buf));
        const bool admitted = admit(RegisterAccess::Kind::Read, address, 0);
        if (rx != nullptr) {
            rx[0] = rx[1] = 0;
            rx[2] = admitted ? uint8_t(reg(address)) : 0;
        }
        return 3;
    }
    if (!admit(RegisterAccess::Kind::Write, address, tx[2])) {
        return 3;
    }
    if (address == 0 && (tx[2] & 0x01)) {
        resetRegisters();
        busyFor(std::chrono::milliseconds(200), "resetting");
    } else if (address == 19 && tx[2] == 1) {
        reg(address) = tx[2];
        busyFor(std::chrono::milliseconds(10), "register 19 settles");
    } else {
        reg(address) = tx[2];
    }
    return 3;
}

}  // namespace thermalsim
