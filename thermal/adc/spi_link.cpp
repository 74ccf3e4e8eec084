#include "spi_link.h"

#include "device_io.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace thermal {

SpiLink::SpiLink(std::string devicePath, uint32_t speedHz)
    : m_devicePath(std::move(devicePath)), m_speedHz(speedHz) {}

SpiLink::~SpiLink() {
    close();
}

bool SpiLink::open() {
    if (m_fd < 0) {
        m_fd = camlet::devices::open(m_devicePath, O_RDWR | O_CLOEXEC);
    }
    return m_fd >= 0;
}

void SpiLink::openOrThrow() {
    if (!open()) {
        throw std::runtime_error("Failed to open fd " + m_devicePath);
    }
}

void SpiLink::close() {
    if (m_fd >= 0) {
        camlet::devices::close(m_fd);
        m_fd = -1;
    }
}

void SpiLink::transfer(const uint8_t* tx, uint8_t* rx, uint32_t length) {
    std::vector<spi_ioc_transfer> message(1);
    message[0].tx_buf = uintptr_t(tx);
    message[0].rx_buf = uintptr_t(rx);
    message[0].len = length;
    transfer(message);
}

void SpiLink::transfer(std::vector<spi_ioc_transfer>& messages) {
    uint64_t total = 0;
    for (spi_ioc_transfer& message : messages) {
        message.speed_hz = m_speedHz;
        message.bits_per_word = 8;
        message.delay_usecs = 0;
        total += message.len;
    }
    const int moved = camlet::devices::spiMessage(m_fd, messages.data(), unsigned(messages.size()));
    if (moved < 0) {
        throw std::runtime_error(std::string("SPI_IOC_MESSAGE failed: ") + std::strerror(errno));
    }
    if (uint64_t(moved) < total) {
        throw std::runtime_error("ioctl SPI_IOC_MESSAGE transferred: " + std::to_string(moved));
    }
}

}  // namespace thermal
