#pragma once

#include "iio_dac.h"
#include "pictor/block.h"

#include <array>
#include <memory>
#include <string>

// "TiDac80504": sets the sensor's bias voltages through the DAC80504's IIO
// files. Configuration: "channels" (1 to 4; anything else is refused with
// std::invalid_argument), "resolution" (bits, 16), the DAC channel of each
// voltage ("gfid_channel", "gsk_channel", "vsk_channel",
// "video_offset_channel"; -1 = not connected) and "channel0_gain" ..
// "channel3_gain" (1). Each run writes every triggered voltage input
// ("gfid_voltage_in" and so on, float volts) to its channel.
class TiDac80504Block : public Pictor::Block {
  public:
    TiDac80504Block(const std::string& name, const Pictor::BlockConfiguration& configuration);

    // Finds the IIO device and reads the channel scales.
    void setup() override;
    void process() override;

  private:
    struct Voltage {
        Pictor::InPort<Pictor::datatype_float> input;
        int channel;
    };

    int m_channels;
    int m_resolution;
    std::array<double, thermal::IioDac::kChannels> m_gains{};
    std::array<Voltage, 4> m_voltages;
    std::unique_ptr<thermal::IioDac> m_dac;
};
