#include "camlet_root.h"
#include "device_io.h"
#include "device_simulation.h"
#include "spi_ioctl.h"

#include <fcntl.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <stdexcept>

namespace camlet::devices {

// The registered devices by rooted path, and the simulated devices' open
// descriptors. A descriptor of a simulated device is a real one (an eventfd),
// so its number is unique and close() releases it as usual.
class DeviceNodes {
  public:
    static DeviceNodes& instance() {
        static DeviceNodes nodes;
        return nodes;
    }

    void add(const std::string& path, std::shared_ptr<SimulatedDevice> device) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_devices.emplace(path, std::move(device)).second) {
            throw std::logic_error("A simulated device is already registered for " + path);
        }
    }

    void remove(const std::string& path) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_devices.erase(path);
    }

    int open(const std::string& path, int flags) {
        std::shared_ptr<SimulatedDevice> device = registered(path);
        if (!device) {
            return ::open(path.c_str(), flags);
        }
        const int fd = eventfd(0, EFD_CLOEXEC);
        if (fd < 0) {
            return -1;
        }
        {
            std::lock_guard<std::mutex> deviceLock(device->m_mutex);
            ++device->m_openHandles;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open[fd] = std::move(device);
        return fd;
    }

    int close(int fd) {
        std::shared_ptr<SimulatedDevice> device = take(fd);
        if (device) {
            std::lock_guard<std::mutex> deviceLock(device->m_mutex);
            --device->m_openHandles;
        }
        return ::close(fd);
    }

    int spiMessage(int fd, spi_ioc_transfer* transfers, unsigned count) {
        std::shared_ptr<SimulatedDevice> device = openDevice(fd);
        if (!device) {
            return kernelSpiMessage(fd, transfers, count);
        }
        std::lock_guard<std::mutex> deviceLock(device->m_mutex);
        int result;
        if (!device->m_faults.empty()) {
            const SimulatedDevice::Fault fault = device->m_faults.front();
            device->m_faults.pop_front();
            result = fault.error != 0 ? -fault.error : fault.bytes;
        } else {
            result = device->transfer(transfers, count);
        }
        if (result < 0) {
            errno = -result;
            return -1;
        }
        return result;
    }

  private:
    std::shared_ptr<SimulatedDevice> registered(const std::string& path) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_devices.find(path);
        return found != m_devices.end() ? found->second : nullptr;
    }

    std::shared_ptr<SimulatedDevice> openDevice(int fd) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_open.find(fd);
        return found != m_open.end() ? found->second : nullptr;
    }

    std::shared_ptr<SimulatedDevice> take(int fd) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_open.find(fd);
        if (found == m_open.end()) {
            return nullptr;
        }
        std::shared_ptr<SimulatedDevice> device = std::move(found->second);
        m_open.erase(found);
        return device;
    }

    std::mutex m_mutex;
    std::map<std::string, std::shared_ptr<SimulatedDevice>> m_devices;  // under m_mutex
    std::map<int, std::shared_ptr<SimulatedDevice>> m_open;             // under m_mutex
};

void SimulatedDevice::failNextTransfer(int error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.push_back({error, 0});
}

void SimulatedDevice::shortenNextTransfer(int bytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.push_back({0, bytes});
}

int SimulatedDevice::openHandles() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_openHandles;
}

int SimulatedDevice::transfer(const spi_ioc_transfer*, unsigned) {
    return -ENOTTY;
}

DeviceRegistration::DeviceRegistration(const std::string& cameraPath,
                                       std::shared_ptr<SimulatedDevice> device)
    : m_path(rootedPath(cameraPath)) {
    DeviceNodes::instance().add(m_path, std::move(device));
}

DeviceRegistration::~DeviceRegistration() {
    DeviceNodes::instance().remove(m_path);
}

int open(const std::string& cameraPath, int flags) {
    return DeviceNodes::instance().open(rootedPath(cameraPath), flags);
}

int close(int fd) {
    return DeviceNodes::instance().close(fd);
}

int spiMessage(int fd, spi_ioc_transfer* transfers, unsigned count) {
    return DeviceNodes::instance().spiMessage(fd, transfers, count);
}

}  // namespace camlet::devices
