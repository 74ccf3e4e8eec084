#include "pictor/sensor_block.h"

#include <stdexcept>

#include "pictor/sensor_bus.h"

SensorBlock::SensorBlock(std::string name, Pictor::BlockConfiguration configuration, int maturity,
                         int width, int height, int interface_type, int bus_type, int bus_address)
    : Pictor::Block(std::move(name), std::move(configuration)),
      m_sensor_exposure_in(add_inport<Pictor::sensor_exposure_array>("sensor_exposure_in")),
      m_exposure_info_in(add_inport<Pictor::sensor_exposure>("exposure_info_in")),
      m_sensor_regs_in(add_inport<Pictor::sensor_register_array>("sensor_regs_in")),
      m_streaming_in(add_inport<Pictor::datatype_bool>("streaming_in")),
      m_sensor_exposure_out(add_outport<Pictor::sensor_exposure>("sensor_exposure_out")),
      m_sensor_raw_properties_out(
          add_outport<Pictor::sensor_raw_properties>("sensor_raw_properties_out")),
      m_sensor_bias_out(add_outport<Pictor::sensor_bias_properties>("sensor_bias_out")),
      m_sensor_bias_run_out(add_outport<Pictor::sensor_bias_properties>("sensor_bias_run_out")),
      m_registers_latency1_out(
          add_outport<Pictor::sensor_register_array>("registers_latency1_out")),
      m_registers_latency2_out(
          add_outport<Pictor::sensor_register_array>("registers_latency2_out")),
      m_maturity(maturity),
      m_width(width),
      m_height(height),
      m_interface_type(interface_type),
      m_bus_type(bus_type),
      m_bus_address(bus_address),
      m_channel(get_configuration().getInt("channel", 0)) {}

void SensorBlock::add_sensor_mode(SensorMode mode) {
    m_modes.push_back(std::move(mode));
}

const SensorBlock::SensorMode& SensorBlock::get_current_sensor_mode() const {
    if (m_modes.empty()) {
        throw std::logic_error("sensor " + get_name() + " has no sensor mode");
    }
    return m_modes[m_current_mode];
}

void SensorBlock::select_sensor_mode(const std::string& name) {
    for (std::size_t i = 0; i < m_modes.size(); ++i) {
        if (m_modes[i].name == name) {
            m_current_mode = i;
            return;
        }
    }
    throw std::invalid_argument("sensor " + get_name() + " has no mode " + name);
}

void SensorBlock::set_sensor_exposure_and_raw_properties_out(
    const Pictor::sensor_exposure& exposure, Pictor::sensor_raw_properties raw) {
    raw.noise_read = m_read_noise;
    raw.noise_shot = m_shot_noise;
    raw.noise_fixed_pattern = m_fixed_pattern_noise;
    m_sensor_exposure_out.send(exposure);
    m_sensor_raw_properties_out.send(raw);
}

void SensorBlock::update_noise_props(float read_noise, float shot_noise,
                                     float fixed_pattern_noise) {
    m_read_noise = read_noise;
    m_shot_noise = shot_noise;
    m_fixed_pattern_noise = fixed_pattern_noise;
}

namespace {

std::shared_ptr<Pictor::SensorFieldDevice> sensor_at(int channel, int bus_address,
                                                     const std::string& field) {
    std::shared_ptr<Pictor::SensorFieldDevice> sensor =
        Pictor::SensorBusRegistration::find(channel, bus_address);
    if (!sensor) {
        throw std::runtime_error("no sensor answers at bus address " + std::to_string(bus_address) +
                                 " of channel " + std::to_string(channel) + " (field " + field +
                                 ")");
    }
    return sensor;
}

}  // namespace

uint32_t SensorBlock::read_sensor_field(const std::string& field) const {
    const std::optional<uint32_t> value =
        sensor_at(m_channel, m_bus_address, field)->read_field(field);
    if (!value) {
        throw std::runtime_error("sensor has no field " + field);
    }
    return *value;
}

void SensorBlock::write_sensor_field(const std::string& field, uint32_t value) {
    if (!sensor_at(m_channel, m_bus_address, field)->write_field(field, value)) {
        throw std::runtime_error("sensor has no field " + field);
    }
}
