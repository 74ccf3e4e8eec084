#pragma once

#include <linux/spi/spidev.h>

#include <deque>
#include <memory>
#include <mutex>
#include <string>

// Host builds only: simulated devices behind the device nodes of device_io.h.
namespace camlet::devices {

// The base of every simulated device (converter, sensor and FPGA models). The
// node calls arrive one at a time, under mutex(); models guard the state that
// tests inspect with the same lock. Tests can make the next transfers fail or
// come up short without the model seeing them.
class SimulatedDevice {
  public:
    virtual ~SimulatedDevice() = default;

    // The next transfer fails with this errno value.
    void failNextTransfer(int error);
    // The next transfer reports only this many bytes moved and is not delivered.
    void shortenNextTransfer(int bytes);
    // Handles currently open on the device.
    int openHandles() const;

  protected:
    // One SPI message; returns the number of bytes moved or a negative errno.
    // Devices without a SPI side keep the default, which answers as an
    // ordinary file does (ENOTTY).
    virtual int transfer(const spi_ioc_transfer* transfers, unsigned count);

    std::mutex& mutex() const { return m_mutex; }

  private:
    friend class DeviceNodes;
    struct Fault {
        int error;  // errno value, or 0 for a short transfer
        int bytes;
    };

    mutable std::mutex m_mutex;
    std::deque<Fault> m_faults;  // under m_mutex
    int m_openHandles = 0;       // under m_mutex
};

// Serves a camera device path (resolved under CAMLET_ROOT when registered)
// with a simulated device while the registration lives. Registering a path
// twice throws std::logic_error.
class DeviceRegistration {
  public:
    DeviceRegistration(const std::string& cameraPath, std::shared_ptr<SimulatedDevice> device);
    ~DeviceRegistration();
    DeviceRegistration(const DeviceRegistration&) = delete;
    DeviceRegistration& operator=(const DeviceRegistration&) = delete;

  private:
    std::string m_path;
};

}  // namespace camlet::devices
