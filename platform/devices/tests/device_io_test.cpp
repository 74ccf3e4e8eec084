#include "device_io.h"
#include "device_simulation.h"
#include "temporary_root.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace camlet::devices {
namespace {

// Answers every byte with its complement.
class InvertingDevice : public SimulatedDevice {
  protected:
    int transfer(const spi_ioc_transfer* transfers, unsigned count) override {
        int moved = 0;
        for (unsigned i = 0; i < count; ++i) {
            const auto* tx = reinterpret_cast<const uint8_t*>(uintptr_t(transfers[i].tx_buf));
            auto* rx = reinterpret_cast<uint8_t*>(uintptr_t(transfers[i].rx_buf));
            for (uint32_t b = 0; b < transfers[i].len; ++b) {
                rx[b] = uint8_t(~tx[b]);
            }
            moved += int(transfers[i].len);
        }
        return moved;
    }
};

int exchange(int fd, uint8_t (&tx)[2], uint8_t (&rx)[2]) {
    spi_ioc_transfer transfer{};
    transfer.tx_buf = uintptr_t(tx);
    transfer.rx_buf = uintptr_t(rx);
    transfer.len = 2;
    return spiMessage(fd, &transfer, 1);
}

TEST(DeviceIoTest, RegisteredNodesAreServedAndOthersFailAsMissing) {
    testing::TemporaryRoot root;
    auto device = std::make_shared<InvertingDevice>();
    DeviceRegistration registration("/dev/spidev2.2", device);

    EXPECT_EQ(devices::open("/dev/spidev2.1", O_RDWR), -1);
    EXPECT_EQ(errno, ENOENT);

    const int fd = devices::open("/dev/spidev2.2", O_RDWR);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(device->openHandles(), 1);
    uint8_t tx[2] = {0x0F, 0x80};
    uint8_t rx[2] = {};
    EXPECT_EQ(exchange(fd, tx, rx), 2);
    EXPECT_EQ(rx[0], 0xF0);
    EXPECT_EQ(rx[1], 0x7F);

    device->failNextTransfer(EIO);
    device->shortenNextTransfer(1);
    EXPECT_EQ(exchange(fd, tx, rx), -1);
    EXPECT_EQ(errno, EIO);
    EXPECT_EQ(exchange(fd, tx, rx), 1);
    EXPECT_EQ(exchange(fd, tx, rx), 2);

    EXPECT_EQ(devices::close(fd), 0);
    EXPECT_EQ(device->openHandles(), 0);
    EXPECT_THROW(DeviceRegistration("/dev/spidev2.2", device), std::logic_error);
}

// Descriptors of no simulated device go to the kernel.
TEST(DeviceIoTest, OtherDescriptorsReachTheKernel) {
    testing::TemporaryRoot root;
    root.writeFile("/dev/spidev2.2", "");
    const int fd = devices::open("/dev/spidev2.2", O_RDWR);
    ASSERT_GE(fd, 0);
    uint8_t tx[2] = {};
    uint8_t rx[2] = {};
    const int result = exchange(fd, tx, rx);
    const int error = errno;
    devices::close(fd);
    if (result == -1 && error == ENOSYS) {
        GTEST_SKIP() << "this emulator does not pass the spidev request to the kernel";
    }
    EXPECT_EQ(result, -1);
    EXPECT_EQ(error, ENOTTY);
    EXPECT_EQ(exchange(fd, tx, rx), -1);
    EXPECT_EQ(errno, EBADF);
}

}  // namespace
}  // namespace camlet::devices
