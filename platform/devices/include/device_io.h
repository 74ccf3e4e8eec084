#pragma once

#include <linux/spi/spidev.h>

#include <string>

// The kernel device nodes the thermal plug-in drives, by their camera paths
// ("/dev/spidev2.2"). The calls behave as open(2), close(2) and the spidev
// ioctl: -1 with errno on failure. Camera builds make exactly those system
// calls. Host builds resolve the path under CAMLET_ROOT and hand the node to
// the simulated device registered for it (device_simulation.h); a path without
// one is opened for real, so it fails as a missing device does.
namespace camlet::devices {

int open(const std::string& cameraPath, int flags);
int close(int fd);

// One SPI_IOC_MESSAGE(count): the number of bytes moved, or -1 with errno.
int spiMessage(int fd, spi_ioc_transfer* transfers, unsigned count);

}  // namespace camlet::devices
