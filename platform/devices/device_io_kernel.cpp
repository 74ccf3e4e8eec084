#include "device_io.h"
#include "spi_ioctl.h"

#include <fcntl.h>
#include <unistd.h>

namespace camlet::devices {

int open(const std::string& cameraPath, int flags) {
    return ::open(cameraPath.c_str(), flags);
}

int close(int fd) {
    return ::close(fd);
}

int spiMessage(int fd, spi_ioc_transfer* transfers, unsigned count) {
    return kernelSpiMessage(fd, transfers, count);
}

}  // namespace camlet::devices
