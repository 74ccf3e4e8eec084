#include "shutter_integration_time.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "pictor/log.h"

namespace {

constexpr std::chrono::seconds kCalibrationDelay(3);

template <typename T, size_t N>
std::string joined(const std::array<T, N>& values) {
    std::ostringstream text;
    for (size_t i = 0; i < N; ++i) {
        text << (i > 0 ? ", " : "") << values[i];
    }
    return text.str();
}

template <typename T, size_t N>
bool copy_exactly(const std::vector<T>& values, std::array<T, N>& out) {
    if (values.size() != N) {
        return false;
    }
    std::copy(values.begin(), values.end(), out.begin());
    return true;
}

}  // namespace

ShutterIntegrationTimeBase::ShutterIntegrationTimeBase(
    const std::string& name, const Pictor::BlockConfiguration& configuration, const char* tag,
    int32_t calibration_integration_time)
    : Pictor::Block(name, configuration),
      m_fpa_temperature_in(add_inport<Pictor::datatype_int32>("fpa_temperature_in")),
      m_pause_all_in(add_inport<Pictor::datatype_bool>("pause_all_in")),
      m_pause_intt_in(add_inport<Pictor::datatype_bool>("pause_intt_in")),
      m_shutter_control_in(add_inport<Pictor::datatype_int32>("shutter_control_in")),
      m_shutter_delta_time_in(add_inport<Pictor::datatype_int32>("shutter_delta_time_in")),
      m_shutter_delta_temp_in(add_inport<Pictor::datatype_int32>("shutter_delta_temp_in")),
      m_set_cal_int_time_in(add_inport<Pictor::datatype_bool>("set_cal_int_time_in")),
      m_shutter_control_out(add_outport<Pictor::datatype_int32>("shutter_control_out")),
      m_sensor_integration_time_out(
          add_outport<Pictor::datatype_int32>("sensor_integration_time_out")),
      m_tag(tag),
      m_calibration_integration_time(calibration_integration_time) {}

void ShutterIntegrationTimeBase::process() {
    take_inputs();
    take_own_inputs();
    decide();
}

void ShutterIntegrationTimeBase::take_inputs() {
    if (m_fpa_temperature_in.is_triggered()) {
        m_fpa_temperature = m_fpa_temperature_in.get().value;
    }
    if (m_pause_all_in.is_triggered()) {
        m_pause_all = m_pause_all_in.get().value;
    }
    if (m_pause_intt_in.is_triggered()) {
        const bool paused = m_pause_intt_in.get().value;
        if (m_pause_integration && !paused) {
            m_calibration_pending = true;
        }
        m_pause_integration = paused;
    }
    if (m_shutter_control_in.is_triggered()) {
        m_shutter_control_out.send(m_shutter_control_in.get());
    }
    if (m_shutter_delta_temp_in.is_triggered()) {
        m_delta_temperature = m_shutter_delta_temp_in.get().value;
    }
    if (m_shutter_delta_time_in.is_triggered()) {
        m_delta_time = m_shutter_delta_time_in.get().value;
    }
    if (m_set_cal_int_time_in.is_triggered() && m_set_cal_int_time_in.get().value &&
        m_calibration_integration_time > 0) {
        publish_integration_time(m_calibration_integration_time);
    }
}

void ShutterIntegrationTimeBase::decide() {
    const auto now = m_now();
    if (m_calibration_pending && !m_calibration_start) {
        m_calibration_start = now;
        m_last_shutter_time = now;
    }
    if ((m_calibration_start && now - *m_calibration_start < kCalibrationDelay) || m_pause_all) {
        return;
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(now - m_last_shutter_time);
    const int32_t drift = m_last_shutter_temperature - m_fpa_temperature;
    if (!m_calibration_pending && !recalibration_forced() &&
        std::abs(drift) <= m_delta_temperature) {
        if (m_delta_time < 1 || elapsed <= std::chrono::seconds(m_delta_time)) {
            return;
        }
    }
    Pictor::ilog(Pictor::LogLevel::Info, "%s: Delta t: %lld Delta T: %d Temp: %d", m_tag.c_str(),
                 static_cast<long long>(elapsed.count()), static_cast<int>(drift),
                 static_cast<int>(m_fpa_temperature));
    // A new integration time recalibrates the sensor by itself; only an
    // unchanged one, or a pending calibration, needs the shutter.
    const bool changed = update_integration_time();
    if (!changed || m_calibration_pending) {
        m_shutter_control_out.send({kRecalibrate});
    }
    record_shutter_event(now);
}

bool ShutterIntegrationTimeBase::update_integration_time() {
    const std::optional<int32_t> integration_time = integration_time_law();
    if (!integration_time || *integration_time == m_last_integration_time) {
        return false;
    }
    publish_integration_time(*integration_time);
    return true;
}

void ShutterIntegrationTimeBase::publish_integration_time(int32_t integration_time) {
    m_sensor_integration_time_out.send({integration_time});
    m_last_integration_time = integration_time;
}

void ShutterIntegrationTimeBase::record_shutter_event(std::chrono::steady_clock::time_point now) {
    m_last_shutter_temperature = m_fpa_temperature;
    m_last_shutter_time = now;
    m_calibration_pending = false;
    m_calibration_start.reset();
    clear_forced_recalibration();
}

ShutterIntegrationTimeBlock::ShutterIntegrationTimeBlock(
    const std::string& name, const Pictor::BlockConfiguration& configuration)
    : ShutterIntegrationTimeBase(name, configuration, "ShutterIntegrationTime",
                                 configuration.getInt("cal_int_time")),
      m_temperature_low(configuration.getInt("linear_temp_low")),
      m_temperature_high(configuration.getInt("linear_temp_high")),
      m_integration_time_low(configuration.getInt("int_time_temp_low")),
      m_integration_time_high(configuration.getInt("int_time_temp_high")) {}

std::optional<int32_t> ShutterIntegrationTimeBlock::integration_time_law() const {
    if (integration_paused()) {
        return std::nullopt;
    }
    // Equal temperature limits would divide by zero: the law is then flat.
    if (m_temperature_high == m_temperature_low) {
        return m_integration_time_low;
    }
    const int32_t temperature =
        std::max(std::min(m_temperature_low, m_temperature_high),
                 std::min(fpa_temperature(), std::max(m_temperature_low, m_temperature_high)));
    const float slope = static_cast<float>(m_integration_time_high - m_integration_time_low) /
                        static_cast<float>(m_temperature_high - m_temperature_low);
    return static_cast<int32_t>(static_cast<float>(m_integration_time_low) +
                                slope * static_cast<float>(temperature - m_temperature_low));
}

ShutterIntegrationTimeX3Block::ShutterIntegrationTimeX3Block(
    const std::string& name, const Pictor::BlockConfiguration& configuration)
    : ShutterIntegrationTimeBase(name, configuration, "ShutterIntegrationTimeX3",
                                 configuration.getInt("cal_int_time", 0)),
      m_gain_mode_in(add_inport<Pictor::datatype_int32>("gain_mode_in")),
      m_override_int_t_in(add_inport<Pictor::datatype_int32>("override_int_t_in")),
      m_high_gain(
          read_table(configuration, "intt_", {{10.0, 60.0}, {390, 100}, {448.0, -5.8, 0, 0}})),
      m_low_gain(
          read_table(configuration, "lg_intt_", {{-50.0, 75.0}, {100, 100}, {100.0, 0, 0, 0}})) {
    report_active_table();
}

ShutterIntegrationTimeX3Block::Table ShutterIntegrationTimeX3Block::read_table(
    const Pictor::BlockConfiguration& configuration, const std::string& prefix,
    const Table& fallback) {
    Table table = fallback;
    const bool complete =
        copy_exactly(configuration.getDoubleVector(
                         prefix + "temp_limits",
                         {fallback.temperature_limits.begin(), fallback.temperature_limits.end()}),
                     table.temperature_limits) &&
        copy_exactly(configuration.getIntVector(prefix + "intt_limits",
                                                {fallback.integration_time_limits.begin(),
                                                 fallback.integration_time_limits.end()}),
                     table.integration_time_limits) &&
        copy_exactly(
            configuration.getDoubleVector(prefix + "temp_factors",
                                          {fallback.factors.begin(), fallback.factors.end()}),
            table.factors);
    if (!complete) {
        Pictor::ilog(Pictor::LogLevel::Error,
                     "ShutterIntegrationTimeX3: the %s table needs 2 limits, 2 integration times "
                     "and 4 factors; using the defaults",
                     prefix.c_str());
        return fallback;
    }
    return table;
}

void ShutterIntegrationTimeX3Block::take_own_inputs() {
    if (m_gain_mode_in.is_triggered()) {
        m_gain_mode = m_gain_mode_in.get().value;
        m_gain_changed = true;
        report_active_table();
    }
    if (m_override_int_t_in.is_triggered()) {
        const int32_t override_time = m_override_int_t_in.get().value;
        if (override_time != m_override) {
            request_calibration();
        }
        m_override = override_time;
    }
}

void ShutterIntegrationTimeX3Block::process() {
    ShutterIntegrationTimeBase::process();
    debug_data().set("thermal_sensor_itime", last_integration_time());
}

std::optional<int32_t> ShutterIntegrationTimeX3Block::integration_time_law() const {
    if (integration_paused() && !m_gain_changed && m_override == 0) {
        return std::nullopt;
    }
    if (m_override != 0) {
        return m_override;
    }
    const Table& table = active_table();
    const double t = fpa_temperature() / 1000.0;
    if (t <= table.temperature_limits[0]) {
        return table.integration_time_limits[0];
    }
    if (t >= table.temperature_limits[1]) {
        return table.integration_time_limits[1];
    }
    const auto& c = table.factors;
    return static_cast<int32_t>(c[0] + c[1] * t + c[2] * t * t + c[3] * t * t * t);
}

void ShutterIntegrationTimeX3Block::report_active_table() {
    const Table& table = active_table();
    debug_data().set("intt.temp_limits", joined(table.temperature_limits));
    debug_data().set("intt.intt_limits", joined(table.integration_time_limits));
    debug_data().set("intt.temp_factors", joined(table.factors));
}
