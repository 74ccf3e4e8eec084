#include "lynred_sensor_blocks.h"

#include "pictor/log.h"

#include <algorithm>

namespace {

using thermal::LynredMember;

constexpr uint32_t kIntegrationTime = 183;
constexpr float kVskVolts = 3.6f;
constexpr float kVideoOffsetVolts = 1.7f;

const LynredMember kPico384P = {384, 288, thermal::kTrims384, {2, 4, 6}, 4};
const LynredMember kPico384S = {384, 288, thermal::kTrims384, {1, 2, 3, 4, 5, 6}, 6};
const LynredMember kPico640Gen2 = {640, 480, thermal::kTrims640, {1, 2, 3, 4, 5, 6}, 3};

}  // namespace

LynredSensorBlock::LynredSensorBlock(const std::string& name,
                                     const Pictor::BlockConfiguration& configuration,
                                     const LynredMember& member)
    : SensorBlock(name, configuration, 2, member.width, member.height, 1, 1, 36),
      m_member(member),
      m_channel(configuration.getInt("channel", 0)),
      m_maxValue(configuration.getInt("sensor_raw_properties_max_value", 65535)),
      m_thermography(configuration.getBool("thermography", false)),
      m_icap(configuration.getInt("icap", 4)),
      m_integration_time_in(add_inport<Pictor::datatype_int32>("sensor_integration_time_in")),
      m_bias_in(add_inport<Pictor::sensor_bias_properties>("sensor_bias_in")),
      m_max_gain_out(add_outport<Pictor::datatype_float>("sensor_max_gain_out")),
      m_integration_cap_out(add_outport<Pictor::datatype_int32>("sensor_integration_cap_out")),
      m_gfid_out(add_outport<Pictor::datatype_float>("gfid_voltage_out")),
      m_gsk_out(add_outport<Pictor::datatype_float>("gsk_voltage_out")),
      m_vsk_out(add_outport<Pictor::datatype_float>("vsk_voltage_out")),
      m_video_offset_out(add_outport<Pictor::datatype_float>("video_offset_voltage_out")) {
    set_keep_sensor_bus_open(true);
    const auto& accepted = member.icapPicofarads;
    if (std::find(accepted.begin(), accepted.end(), m_icap) == accepted.end()) {
        Pictor::ilog(Pictor::LogLevel::Warning, "Invalid icap value: %d pF!", m_icap);
        Pictor::ilog(Pictor::LogLevel::Warning, "Using default value: %d pF!", member.defaultIcap);
        m_icap = member.defaultIcap;
    }
    add_sensor_mode({"full", member.width, member.height, 30.0f, uint32_t(member.width + 116),
                     uint32_t(member.height + 32)});
}

int LynredSensorBlock::icapCode() const {
    const auto& accepted = m_member.icapPicofarads;
    return int(std::find(accepted.begin(), accepted.end(), m_icap) - accepted.begin());
}

void LynredSensorBlock::start() {
    if (m_ready) {
        return;
    }
    const thermal::BiasVoltages bias = thermal::sensorBias(*this, m_member.trims, m_channel);
    m_sensor_bias_out.send({bias.b, bias.a});
    sendBias(bias);
    m_vsk_out.send({kVskVolts});
    m_video_offset_out.send({kVideoOffsetVolts});

    thermal::programSensorFields(*this, kIntegrationTime, 0);
    write_sensor_field("icap", uint32_t(icapCode()));
    m_integration_cap_out.send({1});
    // A smaller integration capacitance gives more signal per photon.
    m_max_gain_out.send({float(m_member.icapPicofarads.back()) / float(m_icap)});
    if (m_thermography) {
        debug_data().set("serial_nbr", thermal::readSerialNumber(*this));
        debug_data().set("thermography", true);
    }
    m_ready = true;
}

void LynredSensorBlock::sendBias(const thermal::BiasVoltages& bias) {
    m_gfid_out.send({bias.b});
    m_gsk_out.send({bias.a});
    debug_data().set("thermal_sensor_gfid", bias.b);
    debug_data().set("thermal_sensor_gsk", bias.a);
}

void LynredSensorBlock::process() {
    if (!m_ready) {
        return;
    }
    if (m_bias_in.is_triggered()) {
        sendBias({m_bias_in.get().first, m_bias_in.get().second});
        m_sensor_bias_run_out.send(m_bias_in.get());
    }
    if (m_integration_time_in.is_triggered() && m_integration_time_in.get().value > 0) {
        if (!thermal::writeIntegrationTime(*this, uint32_t(m_integration_time_in.get().value))) {
            Pictor::ilog(Pictor::LogLevel::Warning, "%s: integration time %d not taken",
                         get_name().c_str(), m_integration_time_in.get().value);
        }
    }
    if (m_sensor_exposure_in.is_triggered() && !m_sensor_exposure_in.get().exposures.empty()) {
        const Pictor::sensor_exposure& exposure = m_sensor_exposure_in.get().exposures.front();
        Pictor::sensor_raw_properties raw;
        raw.gain = exposure.gain;
        raw.max_value = m_maxValue;
        set_sensor_exposure_and_raw_properties_out(exposure, raw);
    }
}

LynredPico384PSensorBlock::LynredPico384PSensorBlock(
    const std::string& name, const Pictor::BlockConfiguration& configuration)
    : LynredSensorBlock(name, configuration, kPico384P) {}

LynredPico384SSensorBlock::LynredPico384SSensorBlock(
    const std::string& name, const Pictor::BlockConfiguration& configuration)
    : LynredSensorBlock(name, configuration, kPico384S) {}

LynredPico640Gen2SensorBlock::LynredPico640Gen2SensorBlock(
    const std::string& name, const Pictor::BlockConfiguration& configuration)
    : LynredSensorBlock(name, configuration, kPico640Gen2) {}
