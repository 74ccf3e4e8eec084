#include "ti_dac80504.h"

#include "pictor/log.h"

#include <stdexcept>

namespace {

constexpr const char* kStems[] = {"gfid", "gsk", "vsk", "video_offset"};

}  // namespace

TiDac80504Block::TiDac80504Block(const std::string& name,
                                 const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration) {
    m_channels = configuration.getInt("channels", thermal::IioDac::kChannels);
    if (m_channels < 1 || m_channels > thermal::IioDac::kChannels) {
        throw std::invalid_argument("TiDac80504Block: unsupported number of channels: " +
                                    std::to_string(m_channels));
    }
    m_resolution = configuration.getInt("resolution", 16);
    if (m_resolution < 1 || m_resolution > 32) {
        Pictor::ilog(Pictor::LogLevel::Error,
                     "TiDac80504Block: unsupported resolution: %d, using 16", m_resolution);
        m_resolution = 16;
    }
    for (int channel = 0; channel < thermal::IioDac::kChannels; ++channel) {
        m_gains[channel] =
            configuration.getDouble("channel" + std::to_string(channel) + "_gain", 1.0);
    }
    for (size_t i = 0; i < m_voltages.size(); ++i) {
        const std::string stem = kStems[i];
        int channel = configuration.getInt(stem + "_channel", -1);
        if (channel >= m_channels) {
            Pictor::ilog(
                Pictor::LogLevel::Error,
                "TiDac80504Block: %s_channel %d is not one of the %d channels; not connected",
                stem.c_str(), channel, m_channels);
            channel = -1;
        }
        m_voltages[i] = {add_inport<Pictor::datatype_float>(stem + "_voltage_in"), channel};
    }
}

void TiDac80504Block::setup() {
    const std::optional<int> device = thermal::IioDac::find("dac80504");
    if (!device) {
        Pictor::ilog(Pictor::LogLevel::Error, "TiDac80504Block: no IIO device dac80504");
        return;
    }
    m_dac = std::make_unique<thermal::IioDac>(*device, m_channels, m_resolution, m_gains);
}

void TiDac80504Block::process() {
    for (const Voltage& voltage : m_voltages) {
        if (!voltage.input.is_triggered() || voltage.channel < 0) {
            continue;
        }
        if (!m_dac) {
            Pictor::ilog(Pictor::LogLevel::Error, "TiDac80504Block: no DAC; %s dropped",
                         voltage.input.internal()->get_name().c_str());
            continue;
        }
        m_dac->write(voltage.channel, voltage.input.get().value);
    }
}
