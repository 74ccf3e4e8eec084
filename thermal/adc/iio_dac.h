#pragma once

#include <array>
#include <optional>
#include <string>

namespace thermal {

// A DAC driven through the kernel's IIO sysfs files
// ("/sys/bus/iio/devices/iio:deviceN/out_voltageC_raw" and its siblings). It
// writes voltages as raw codes: raw = min(trunc(v × 1000 / (scale × gain)),
// 2^resolution − 1), with the channel's scale (mV per step) read from its
// "_scale" file when the DAC is opened and the gain of the amplifier behind
// the channel. Failures are logged and the value is dropped.
class IioDac {
  public:
    static constexpr int kChannels = 4;

    // The number N of the IIO device whose "name" file holds chipName
    // ("dac80504"); none when there is no such device.
    static std::optional<int> find(const std::string& chipName);

    // Reads the scales of the first `channels` channels (a channel whose
    // scale cannot be read takes no values) and powers them up; the others
    // take no values.
    IioDac(int deviceNumber, int channels, int resolutionBits, std::array<double, kChannels> gains);

    // The device directory (camera path), as logged by its users.
    const std::string& directory() const { return m_directory; }
    std::string channelFile(int channel, const char* suffix) const;

    // Writes a voltage to a channel 0..3; false when it was dropped.
    bool write(int channel, double volts) const;

  private:
    std::string m_directory;
    double m_maxCode;
    std::array<double, kChannels> m_gains;
    std::array<std::optional<double>, kChannels> m_scales;
};

}  // namespace thermal
