#pragma once

#include <string>

namespace thermalsim {

// The DAC80504 four-channel DAC as the kernel's IIO driver shows it: the
// directory /sys/bus/iio/devices/iio:deviceN under CAMLET_ROOT with its "name"
// and, per channel C, out_voltageC_raw, _scale (mV per step, 2.5 V reference
// and 16 bits), _calibscale and _powerdown. The files are created when the
// model is built (and left in the root); the model reads back what a driver
// wrote.
class Dac80504Model {
  public:
    static constexpr int kChannels = 4;
    static constexpr double kScaleMv = 2500.0 / 65536.0;

    explicit Dac80504Model(int deviceNumber = 0);

    // The camera path of the device directory.
    const std::string& directory() const { return m_directory; }
    // The raw code last written to a channel, as the file holds it.
    std::string rawText(int channel) const;
    // The voltage at the DAC's output pin: raw × scale.
    double volts(int channel) const;
    bool poweredDown(int channel) const;

  private:
    std::string channelFile(int channel, const char* suffix) const;

    std::string m_directory;
};

}  // namespace thermalsim
