#pragma once

#include "fpa_temperature.h"
#include "pictor/block_configuration.h"

#include <cstdint>
#include <string>
#include <vector>

namespace thermal {

// The FPA temperature conversion of an FPGA block, from the temperature
// sensor's response and the ADC chain in its configuration. Computed in
// single precision, as the module's factory figures are.
FpaConversion deriveFpaConversion(const Pictor::BlockConfiguration& configuration);

// Camera temperature from an ADC reading through a table of points (ADC
// counts ascending, °C), interpolated linearly and clamped to the table.
class CameraTemperatureMap {
  public:
    static constexpr int32_t kNoTemperature = -999000;

    // No map: reports kNoTemperature.
    CameraTemperatureMap() = default;
    // Logs why the map is unusable (size mismatch, fewer than two points);
    // it then reports kNoTemperature.
    CameraTemperatureMap(std::vector<int> counts, std::vector<int> celsius);

    bool usable() const { return m_usable; }
    int32_t milliCelsius(int raw) const;

  private:
    std::vector<int> m_counts;
    std::vector<int> m_celsius;
    bool m_usable = false;
};

}  // namespace thermal
