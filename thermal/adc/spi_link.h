#pragma once

#include <linux/spi/spidev.h>

#include <cstdint>
#include <string>
#include <vector>

namespace thermal {

// One spidev node of the thermal module, opened on demand and closed on
// destruction. Transfers are full-duplex messages of 8-bit words without
// delay; a failed or short transfer throws std::runtime_error
// ("SPI_IOC_MESSAGE failed: " + the system error text, or
// "ioctl SPI_IOC_MESSAGE transferred: " + the number of bytes moved).
class SpiLink {
  public:
    // speedHz 0 keeps the device's default clock.
    SpiLink(std::string devicePath, uint32_t speedHz);
    ~SpiLink();
    SpiLink(const SpiLink&) = delete;
    SpiLink& operator=(const SpiLink&) = delete;

    const std::string& devicePath() const { return m_devicePath; }
    // The open descriptor, -1 when closed.
    int handle() const { return m_fd; }

    // Opens the node read-write unless it is open; false (errno set) when it
    // cannot be opened.
    bool open();
    // As open(), throwing "Failed to open fd " + the path on failure.
    void openOrThrow();
    void close();

    // One message: length bytes out of tx, the same number into rx (may be null).
    void transfer(const uint8_t* tx, uint8_t* rx, uint32_t length);
    // Several messages in one SPI_IOC_MESSAGE; the speed and word size are
    // filled in.
    void transfer(std::vector<spi_ioc_transfer>& messages);

  private:
    std::string m_devicePath;
    uint32_t m_speedHz;
    int m_fd = -1;
};

// Closes a link when the scope ends, however it ends.
class SpiSession {
  public:
    explicit SpiSession(SpiLink& link) : m_link(link) {}
    ~SpiSession() { m_link.close(); }
    SpiSession(const SpiSession&) = delete;
    SpiSession& operator=(const SpiSession&) = delete;

  private:
    SpiLink& m_link;
};

}  // namespace thermal
