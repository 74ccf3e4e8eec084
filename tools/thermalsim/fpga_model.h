#pragma once

#include "device_simulation.h"
#include "sensor_model.h"
#include "ugpio_simulation.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace thermalsim {

// The low, high and centre counts of a frame: `lowPermille` of the pixels lie
// below the low bound, `highPermille` above the high bound, half below the
// centre.
struct HistogramBounds {
    uint32_t low = 0;
    uint32_t high = 0;
    uint32_t centre = 0;
};
HistogramBounds histogramOf(const std::vector<uint16_t>& frame, uint32_t lowPermille = 5,
                            uint32_t highPermille = 5);

// The thermal module's FPGA on its SPI node. Messages: a command byte (bits
// 2-4 data bytes, bit 1 32-bit address, bit 0 read), the little-endian
// address and data; several messages may share one transfer. Addresses from
// 0x10000000 to 0x1FFFFFFF are the external memory (gain tables land there);
// all others are 32-bit registers (bit 31 of an address is a posting flag
// and ignored). Registers with behaviour of their own:
//   0        bit 0 writable, unless a test makes it stuck;
//   8        external memory status: 0 until ready a delay after the reset
//            line was released, then bit 0 and bit 1 when its test passed;
//   0x10     frame counter at the frame rate (or its limit);
//   0x2008   histogram low | high << 16 of a new frame, 0x2018 its centre;
//   0x2024   histogram cut: the shares of the pixels below the low and above
//            the high bound, low | high << 16 in per mille (0 keeps 5 ‰);
//   raw temperature registers set up by setRawTemperature().
// The reset line "fpga_reset" restores the power-on registers.
class FpgaModel : public camlet::devices::SimulatedDevice {
  public:
    struct Options {
        std::chrono::milliseconds memoryReadyDelay{20};
        bool memoryPasses = true;
        double frameRate = 30.0;
        std::optional<double> frameRateLimit;
        // The GPIO line that resets this FPGA (a second module on the board
        // has a line of its own).
        std::string resetLine = "fpga_reset";
    };
    // How a raw temperature register follows the sensor's FPA temperature:
    // raw = r0 + (T[m°C] − reference) × k2 / k1 ± noise, within `mask`.
    struct RawTemperature {
        double referenceMilliC = 30000;
        double r0 = 0;
        double k1 = 1;
        double k2 = 1;
        uint32_t mask = 0xFFFFFFFF;
        int noiseCounts = 2;
    };
    using Transfer = std::vector<std::vector<uint8_t>>;

    FpgaModel(Options options, std::shared_ptr<SensorModel> sensor);

    void setRegisterZeroStuck(bool stuck);
    void setRawTemperature(uint32_t address, RawTemperature conversion);
    // Sets a register as the FPGA's logic would (a raw temperature register
    // then holds the value until set up again).
    void setRegister(uint32_t address, uint32_t value);
    uint32_t registerValue(uint32_t address) const;
    // Register writes in order (address as sent, value).
    std::vector<std::pair<uint32_t, uint32_t>> registerWrites() const;
    // External memory contents (unwritten bytes read 0).
    std::vector<uint8_t> memory(uint32_t address, uint32_t length) const;
    // Keeps the bytes of every transfer from now on (tests of the wire format).
    void recordWire(bool on);
    std::vector<Transfer> wire() const;
    std::vector<std::string> violations() const;
    int resets() const;

    // Renders a new frame and latches its histogram (as each frame does).
    void advanceFrame();
    // The frame rendered last (empty before the first).
    std::vector<uint16_t> frame() const;

  protected:
    int transfer(const spi_ioc_transfer* transfers, unsigned count) override;

  private:
    using Clock = std::chrono::steady_clock;
    static constexpr uint32_t kMemoryStart = 0x10000000;
    static constexpr uint32_t kMemoryEnd = 0x20000000;
    static constexpr uint32_t kPageBytes = 0x10000;

    // Under mutex():
    void message(const uint8_t* tx, uint8_t* rx, uint32_t length);
    void writeRegister(uint32_t address, uint32_t value);
    uint32_t readRegister(uint32_t address);
    void writeMemory(uint32_t address, const uint8_t* data, uint32_t length);
    void powerOn();
    void renderFrame();

    const Options m_options;
    const std::shared_ptr<SensorModel> m_sensor;
    const Clock::time_point m_start = Clock::now();
    // Under mutex():
    std::unordered_map<uint32_t, uint32_t> m_registers;
    std::unordered_map<uint32_t, std::vector<uint8_t>> m_pages;
    std::map<uint32_t, RawTemperature> m_temperatures;
    std::vector<std::pair<uint32_t, uint32_t>> m_writes;
    std::vector<Transfer> m_wire;
    std::vector<std::string> m_violations;
    std::vector<uint16_t> m_frame;
    Clock::time_point m_memoryReadyAt;
    bool m_registerZeroStuck = false;
    bool m_recordWire = false;
    bool m_inReset = false;
    int m_resets = 0;
    uint32_t m_noiseState = 12345;
    // Last: the line calls back into the model until it is gone.
    ugpio::SimulatedLine m_resetLine;
};

}  // namespace thermalsim
