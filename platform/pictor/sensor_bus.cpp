#include "pictor/sensor_bus.h"

#include <map>
#include <mutex>
#include <stdexcept>

namespace Pictor {
namespace {

std::mutex& busMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<int, std::shared_ptr<SensorFieldDevice>>& sensors() {
    static std::map<int, std::shared_ptr<SensorFieldDevice>> registered;
    return registered;
}

}  // namespace

SensorBusRegistration::SensorBusRegistration(int bus_address,
                                             std::shared_ptr<SensorFieldDevice> device)
    : m_bus_address(bus_address) {
    std::lock_guard<std::mutex> lock(busMutex());
    if (!sensors().emplace(bus_address, std::move(device)).second) {
        throw std::logic_error("sensor bus address " + std::to_string(bus_address) +
                               " is registered already");
    }
}

SensorBusRegistration::~SensorBusRegistration() {
    std::lock_guard<std::mutex> lock(busMutex());
    sensors().erase(m_bus_address);
}

std::shared_ptr<SensorFieldDevice> SensorBusRegistration::find(int bus_address) {
    std::lock_guard<std::mutex> lock(busMutex());
    const auto found = sensors().find(bus_address);
    return found == sensors().end() ? nullptr : found->second;
}

}  // namespace Pictor
