#pragma once

#include "calibration.h"
#include "fpga_commands.h"
#include "fpga_spi.h"
#include "pictor/ports.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace thermal {

// The histogram bounds of the last frame, as the FPGA measured them.
struct FpgaHistogram {
    int32_t low = 0;
    int32_t high = 0;
    int32_t centre = 0;
};

// A custom exposure window, in pixels, inclusive.
struct ExposureBounds {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
};

// What the sensor and FPGA blocks share about the FPGA: the SPI protocol
// behind one register mutex, the bring-up checks, the calibration uploader
// thread and the image-window registers. Every FPGA access of the block
// thread and of the uploader holds mutex().
class FpgaFrontEnd {
  public:
    FpgaFrontEnd(std::string devicePath, GainTableLayout layout, int channel);
    // Stops the uploader (stopUploads()).
    ~FpgaFrontEnd();
    FpgaFrontEnd(const FpgaFrontEnd&) = delete;
    FpgaFrontEnd& operator=(const FpgaFrontEnd&) = delete;

    std::mutex& mutex() { return m_mutex; }
    // The protocol; callers hold mutex().
    FpgaSpi& spi() { return m_spi; }
    const GainTableLayout& layout() const { return m_layout; }

    // Pulses the reset line and runs the register self-test (throws).
    void resetAndCheck();
    // Waits for the external memory (throws), under the mutex.
    void waitForMemory();
    // Loads the defect-pixel registers from 0x200000 and enables the
    // correction (0x18000 = 1); a missing file is logged and bring-up goes on.
    void loadDefectPixels();

    // Starts uploading the gain tables on a thread of its own; `done` runs on
    // that thread when it ends (successful or not). A failed upload is logged
    // with `failure`.
    void startGainUpload(std::function<void(bool loaded)> done,
                         const char* failure = "Failed to load gain correction data!");
    bool uploading() const { return m_uploading; }
    // Stops the uploader between two tables and joins it. Blocks call it
    // first thing in their destructor, as the uploader's `done` uses them.
    void stopUploads();

    // Selects the exposure window by name ("center", "upper", "lower", "left",
    // "right", "spot", "custom"); logs and keeps the old one for a bad name or
    // invalid custom bounds.
    void applyExposureWindow(const std::string& name, const ExposureBounds& custom, int width,
                             int height);
    // The highest frame rate the module delivers: `nominal`, or the lower rate
    // the FPGA's frame counter shows when the module is limited. A counter
    // that does not move tells nothing (logged); `nominal` is assumed then.
    float detectMaxFps(float nominal);

    FpgaHistogram readHistogram(int shift);

    // A record of the sensor's EEPROM as the FPGA mirrors it: `length` 32-bit
    // words from word `address`, as hexadecimal text. None (logged) for a
    // request outside the EEPROM.
    std::optional<std::string> readEeprom(const Pictor::ee_read& request);

  private:
    FpgaSpi m_spi;
    GainTableLayout m_layout;
    int m_channel;
    std::mutex m_mutex;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_uploading{false};
    std::thread m_uploader;
};

}  // namespace thermal

namespace thermal {

// The exposure-window inputs of a block: the choice ("QUARP_ExposureWindow")
// and the custom bounds ("QUARP_CustomExposureWindowTop", "...Bottom",
// "...Left", "...Right").
class ExposureWindowPorts {
  public:
    // How the owning block adds an input port.
    using AddInport =
        std::function<Pictor::InPortInternal*(std::unique_ptr<Pictor::InPortInternal>)>;

    ExposureWindowPorts() = default;
    explicit ExposureWindowPorts(const AddInport& add);

    // Applies a newly chosen window (a bound not received yet counts as
    // invalid).
    void applyTo(FpgaFrontEnd& fpga, int width, int height) const;

  private:
    Pictor::InPort<Pictor::datatype_string> m_choice;
    Pictor::InPort<Pictor::datatype_int32> m_top;
    Pictor::InPort<Pictor::datatype_int32> m_bottom;
    Pictor::InPort<Pictor::datatype_int32> m_left;
    Pictor::InPort<Pictor::datatype_int32> m_right;
};

}  // namespace thermal
