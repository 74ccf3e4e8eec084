#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace thermal {

// The conversion of the FPGA's raw FPA temperature reading to m°C:
// temperature = reference + (filtered − r0) × k1 / k2. A raw change of more
// than `jump` counts is taken at once, smaller ones are smoothed.
struct FpaConversion {
    int64_t k1;
    int64_t k2;
    int64_t r0;
    int64_t jump;
    int64_t referenceMilliC = 30000;

    int32_t toMilliCelsius(int64_t filtered) const;
    // The raw value that converts to a temperature (the simulation's inverse).
    double toRaw(double milliCelsius) const;
};

// The previous filtered reading of one block class on one FPGA device (its
// SPI node, "/dev/spidev2.1"), shared by the instances of that class on that
// device: a block rebuilt for the same module continues where its
// predecessor stopped, while modules on different devices never smooth one
// another's readings. The reference stays valid for the life of the program.
// Safe from any thread.
std::atomic<int64_t>& fpaFilterState(const std::string& blockClass, const std::string& device);

// The smoothing of the raw readings, continuing from `previous` (see
// fpaFilterState).
class FpaFilter {
  public:
    FpaFilter(const FpaConversion& conversion, std::atomic<int64_t>& previous)
        : m_conversion(conversion), m_previous(previous) {}

    // The filtered raw value after a new reading (raw 0 is no reading and
    // must be skipped by the caller).
    int64_t filter(int64_t raw);

  private:
    const FpaConversion& m_conversion;
    std::atomic<int64_t>& m_previous;
};

}  // namespace thermal
