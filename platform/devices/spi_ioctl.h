#pragma once

#include <linux/spi/spidev.h>
#include <sys/ioctl.h>

namespace camlet::devices {

// SPI_IOC_MESSAGE(count) for a count known only at run time (the macro sizes
// a char array by it).
inline int kernelSpiMessage(int fd, spi_ioc_transfer* transfers, unsigned count) {
    const unsigned long request = _IOC(_IOC_WRITE, SPI_IOC_MAGIC, 0, SPI_MSGSIZE(count));
    return ::ioctl(fd, request, transfers);
}

}  // namespace camlet::devices
