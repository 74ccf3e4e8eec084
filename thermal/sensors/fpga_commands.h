#pragma once

#include "fpga_spi.h"
#include "pictor/block_configuration.h"

#include <array>
#include <cstdint>
#include <optional>

namespace thermal {

// The shutter command register as the all-in-one blocks address it, and as
// the FPGA blocks do.
constexpr uint32_t kShutterRegister = 0x8001E004;
constexpr uint32_t kFpgaBlockShutterRegister = 0x1E004;

// Writes a shutter request 0-3 (commands 1, 4, 2, 8); throws
// std::invalid_argument "Undefined shutter service!" for any other.
void writeShutterRequest(FpgaSpi& fpga, uint32_t shutterRegister, int request);

// Selects capture mode 1 (raw), 2 (NUC) or 3 and resets the capture
// registers; throws std::invalid_argument "Undefined capture mode option!"
// for any other mode.
void writeCaptureMode(FpgaSpi& fpga, int mode);

// The FPGA's spatial and temporal noise filters and the shutter's drive
// pulses, as a block's configuration sets them.
struct ImageFilterSettings {
    int spatialThreshold;
    int spatialFraction;
    int temporalThreshold;
    int temporalFraction;
    int shutterMovePulse;
    int shutterHoldPulse;

    static ImageFilterSettings fromConfiguration(const Pictor::BlockConfiguration& configuration,
                                                 int defaultHoldPulse);
};
// The filters (0x1A008, 0x1A004, enabled by 0x1A000 = 7).
void writeImageFilters(FpgaSpi& fpga, const ImageFilterSettings& settings);
// The shutter pulses (0x1E008).
void writeShutterPulses(FpgaSpi& fpga, const ImageFilterSettings& settings);

// Starts the video: closes the shutter (command 1), gives it the 500 ms it
// needs and selects the one-point corrected video.
void startOnePointVideo(FpgaSpi& fpga, uint32_t shutterRegister);

// Switches the FPGA's test pattern on or off.
void writeTestPattern(FpgaSpi& fpga, bool on);

// The capture registers saved while another user drives the FPGA and written
// back afterwards.
class CaptureRegisterState {
  public:
    void save(FpgaSpi& fpga);
    // Writes back what save() read; false (nothing written) before any save.
    bool restore(FpgaSpi& fpga) const;

  private:
    static constexpr std::array<uint32_t, 5> kRegisters = {0x6000, 0x6004, 0xE000, 0x1A000,
                                                           0x18000};
    std::optional<std::array<uint32_t, 5>> m_saved;
};

}  // namespace thermal
