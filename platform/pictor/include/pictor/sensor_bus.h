#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Pictor {

// The sensor behind a sensor block's bus, reached field by field: the library
// maps a field name ("trim_a", "integration_time") to the sensor's register
// bits. Host builds only: a simulated sensor registered for a bus address
// on a channel stands for it (SensorBusRegistration). Calls may come from any
// thread.
class SensorFieldDevice {
  public:
    virtual ~SensorFieldDevice() = default;
    // None when the sensor has no such field.
    virtual std::optional<uint32_t> read_field(const std::string& field) = 0;
    // False when the sensor has no such field.
    virtual bool write_field(const std::string& field, uint32_t value) = 0;
};

// Serves a sensor bus address with a simulated sensor while it lives. Each
// sensor interface (video channel) has a bus of its own, so the same address
// on two channels reaches two sensors. Registering an address of a channel
// twice throws std::logic_error.
class SensorBusRegistration {
  public:
    SensorBusRegistration(int channel, int bus_address, std::shared_ptr<SensorFieldDevice> device);
    ~SensorBusRegistration();
    SensorBusRegistration(const SensorBusRegistration&) = delete;
    SensorBusRegistration& operator=(const SensorBusRegistration&) = delete;

    // The sensor registered for the address on the channel's bus, or null.
    static std::shared_ptr<SensorFieldDevice> find(int channel, int bus_address);

  private:
    int m_channel;
    int m_bus_address;
};

}  // namespace Pictor
