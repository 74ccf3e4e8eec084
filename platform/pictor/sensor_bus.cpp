#include "pictor/sensor_bus.h"

#include <map>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace Pictor {
namespace {

// A sensor's place: the sensor interface (channel) whose bus it is on, and
// its address on that bus.
using BusPlace = std::pair<int, int>;

std::mutex& busMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<BusPlace, std::shared_ptr<SensorFieldDevice>>& sensors() {
    static std::map<BusPlace, std::shared_ptr<SensorFieldDevice>> registered;
    return registered;
}

}  // namespace

SensorBusRegistration::SensorBusRegistration(int channel, int bus_address,
                                             std::shared_ptr<SensorFieldDevice> device)
    : m_channel(channel), m_bus_address(bus_address) {
    std::lock_guard<std::mutex> lock(busMutex());
    if (!sensors().emplace(BusPlace(channel, bus_address), std::move(device)).second) {
        throw std::logic_error("sensor bus address " + std::to_string(bus_address) +
                               " of channel " + std::to_string(channel) + " is registered already");
    }
}

SensorBusRegistration::~SensorBusRegistration() {
    std::lock_guard<std::mutex> lock(busMutex());
    sensors().erase(BusPlace(m_channel, m_bus_address));
}

std::shared_ptr<SensorFieldDevice> SensorBusRegistration::find(int channel, int bus_address) {
    std::lock_guard<std::mutex> lock(busMutex());
    const auto found = sensors().find(BusPlace(channel, bus_address));
    return found == sensors().end() ? nullptr : found->second;
}

}  // namespace Pictor
