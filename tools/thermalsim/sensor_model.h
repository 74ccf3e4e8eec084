#pragma once

#include "pictor/sensor_bus.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace thermalsim {

// A microbolometer array as its sensor block reaches it over the sensor bus
// (register fields by name) and as the FPGA reads it out (frames, FPA
// temperature).
//
// Fields: "trim_a" (10 bits, 0 or 65535 when unprogrammed), "trim_b" (8 bits,
// 0 or 255 unprogrammed), "mode", "ctrl0".."ctrl4", "window_width",
// "window_height", "line_timing", "frame_timing", "integration_time" (taken
// into use by a latch pulse on "update": 1, then 0), "enable_a", "enable_b",
// "icap", and the serial fields "serial_lot" (4 digits), "serial_wafer" (2) and
// "serial_die" (3).
//
// The FPA warms up from the ambient temperature towards ambient + warm-up and
// drifts slowly around it, unless a test pins it. Pixels respond to the scene
// (a 15-35 °C left-to-right gradient with a 600 °C flame a third of the height
// across, about 6 % of the picture, circling once every 90 frames; or the
// closed shutter's flat face at the FPA temperature), to the latched
// integration time and to the gain, with fixed-pattern and temporal noise.
class SensorModel : public Pictor::SensorFieldDevice {
  public:
    struct Options {
        int width = 384;
        int height = 288;
        double ambientC = 25.0;
        double warmUpC = 8.0;
        double warmUpSeconds = 120.0;
        double driftC = 0.3;
        uint32_t trimA = 0;
        uint32_t trimB = 0;
        uint32_t serialLot = 4711;
        uint32_t serialWafer = 7;
        uint32_t serialDie = 42;
        uint32_t seed = 1;
    };

    explicit SensorModel(Options options);

    std::optional<uint32_t> read_field(const std::string& field) override;
    bool write_field(const std::string& field, uint32_t value) override;

    // Inspection by tests: a field's value, and every write in order.
    uint32_t field(const std::string& name) const;
    std::vector<std::pair<std::string, uint32_t>> writes() const;
    // The integration time taken into use by the last latch pulse.
    uint32_t latchedIntegrationTime() const;

    void pinFpaTemperature(double celsius);
    double fpaCelsius() const;
    void setShutterClosed(bool closed);
    void setGain(double gain);
    // Takes the hot spot out of the scene or puts it back (it is in at first).
    void setHotSpot(bool shown);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Renders the next frame (width × height 16-bit counts) into `frame`.
    void render(std::vector<uint16_t>& frame);

  private:
    using Clock = std::chrono::steady_clock;

    double fpaCelsiusLocked() const;
    uint32_t nextNoise();

    const int m_width;
    const int m_height;
    const Options m_options;
    const Clock::time_point m_start = Clock::now();
    std::vector<int16_t> m_fixedPattern;

    mutable std::mutex m_mutex;
    std::map<std::string, uint32_t> m_fields;                // under m_mutex
    std::vector<std::pair<std::string, uint32_t>> m_writes;  // under m_mutex
    uint32_t m_latchedIntegrationTime = 0;                   // under m_mutex
    std::optional<double> m_pinnedC;                         // under m_mutex
    bool m_shutterClosed = false;                            // under m_mutex
    double m_gain = 1.0;                                     // under m_mutex
    bool m_hotSpot = true;                                   // under m_mutex
    uint32_t m_frame = 0;                                    // under m_mutex
    uint32_t m_noiseState;                                   // under m_mutex
};

}  // namespace thermalsim
