#include "thermal_gain_mode.h"

#include <algorithm>
#include <cstdlib>

#include "pictor/log.h"

namespace {

constexpr int32_t kMaxMode = 5;
// Histograms ignored after a switch the service asked for, on top of the usual ones.
constexpr int32_t kServiceSwitchDiscard = 8;
constexpr int32_t kLowGainRetryHistograms = 10;

}  // namespace

ThermalGainModeBlock::ThermalGainModeBlock(const std::string& name,
                                           const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration),
      m_video_mode_enable_in(add_inport<Pictor::datatype_int32>("video_mode_enable_in")),
      m_histogram_data_in(add_inport<Pictor::histogram_data>("histogram_data_in")),
      m_fpa_temperature_in(add_inport<Pictor::datatype_int32>("fpa_temperature_in")),
      m_sensor_raw_properties0_in(
          add_inport<Pictor::sensor_raw_properties>("sensor_raw_properties0_in")),
      m_quarp_gain_mode_in(add_inport<Pictor::datatype_int32>("quarp_gain_mode_in")),
      m_quarp_gain_threshold_in(add_inport<Pictor::datatype_int32>("quarp_gain_threshold_in")),
      m_gain_mode_out(add_outport<Pictor::datatype_int32>("gain_mode_out")),
      m_histogram_cut_out(add_outport<Pictor::histogram_cut>("histogram_cut_out")),
      m_quick_ctrl_out(add_outport<Pictor::datatype_int32>("quick_ctrl_out")),
      m_low_gain_offset_out(add_outport<Pictor::datatype_int32>("low_gain_offset_out")),
      m_sensor_raw_properties0_out(
          add_outport<Pictor::sensor_raw_properties>("sensor_raw_properties0_out")),
      m_high_to_low_limit(configuration.getInt("radiance_high_to_low_limit", 14880)),
      m_low_to_high_limit(configuration.getInt("radiance_low_to_high_limit", 10640)),
      m_change_period(configuration.getInt("gain_mode_change_period", 45)),
      m_offset_temperature_step(configuration.getInt("lg_offset_dT", 200)),
      m_offset_bits(std::clamp(configuration.getInt("lg_offset_bits", 14), 1, 31)),
      m_discard_after_switch(configuration.getInt("as_hist_discard", 26)),
      m_noise{noise_terms(configuration, "read_noise_offset", {-4.0f, 23.0f, -4.0f}),
              noise_terms(configuration, "read_noise_gain", {1.0f, 1.0f, 1.0f}),
              noise_terms(configuration, "dsnu_offset", {25.0f, 3.0f, 3.0f}),
              noise_terms(configuration, "dsnu_gain", {1.0f, 1.0f, 1.0f})},
      m_requested_mode(configuration.getInt("auto_switch_mode", 3)) {}

ThermalGainModeBlock::NoiseTerms ThermalGainModeBlock::noise_terms(
    const Pictor::BlockConfiguration& configuration, const char* key,
    const NoiseTerms& fallback) const {
    const std::vector<float> values =
        configuration.getFloatVector(key, {fallback.begin(), fallback.end()});
    if (values.size() != fallback.size()) {
        Pictor::ilog(Pictor::LogLevel::Error,
                     "ThermalGainMode: %s needs one value per gain state, using the defaults", key);
        return fallback;
    }
    return {values[0], values[1], values[2]};
}

void ThermalGainModeBlock::start() {
    publish_histogram_cut();
}

void ThermalGainModeBlock::process() {
    if (m_fpa_temperature_in.is_triggered()) {
        m_fpa_temperature = m_fpa_temperature_in.get().value;
    }
    if (m_video_mode_enable_in.is_triggered() &&
        take_video_mode_enable(m_video_mode_enable_in.get().value)) {
        act_on_requested_mode();
    }
    if (m_quarp_gain_mode_in.is_triggered()) {
        take_service_gain_mode(m_quarp_gain_mode_in.get().value);
    }
    if (m_quarp_gain_threshold_in.is_triggered()) {
        m_cut_fraction = static_cast<float>(m_quarp_gain_threshold_in.get().value) / 100.0f;
        publish_histogram_cut();
    }
    if (m_histogram_data_in.is_triggered()) {
        take_histogram(m_histogram_data_in.get());
    }
    if (m_sensor_raw_properties0_in.is_triggered()) {
        publish_raw_properties();
    }
}

bool ThermalGainModeBlock::take_video_mode_enable(int32_t value) {
    const int32_t mode = std::abs(value);
    if (mode > kMaxMode) {
        Pictor::ilog(Pictor::LogLevel::Error, "Unknown video mode: %d", static_cast<int>(value));
        return false;
    }
    const bool enable = value >= 0;
    const bool changed = m_enabled[static_cast<size_t>(mode)] != enable;
    m_enabled[static_cast<size_t>(mode)] = enable;
    return changed;
}

void ThermalGainModeBlock::act_on_requested_mode() {
    switch (m_requested_mode) {
        case 0:
            set_mode(0);
            break;
        case 1:
        case 2:
            if (enabled(m_requested_mode)) {
                set_mode(m_requested_mode);
            }
            break;
        case 5:
            if (enabled(2)) {
                set_mode(5);
            }
            break;
        case 3:
        case 4:
            if (m_mode == 0 && both_gains_enabled()) {
                m_auto_switching = true;
                set_mode(5);
            }
            break;
        default:
            break;
    }
}

void ThermalGainModeBlock::take_service_gain_mode(int32_t mode) {
    switch (mode) {
        case 0:
            m_requested_mode = 3;
            m_auto_switching = true;
            if (m_histograms_to_discard == 0 && both_gains_enabled()) {
                set_mode(5);
                m_histograms_to_discard += kServiceSwitchDiscard;
            }
            break;
        case 1:
            if (m_histograms_to_discard == 0 && enabled(1)) {
                m_auto_switching = false;
                set_mode(1);
                m_histograms_to_discard += kServiceSwitchDiscard;
            } else {
                m_low_gain_retry = kLowGainRetryHistograms;
            }
            break;
        case 2:
            m_requested_mode = 5;
            m_auto_switching = false;
            if (m_histograms_to_discard == 0 && enabled(2)) {
                set_mode(5);
                m_histograms_to_discard += kServiceSwitchDiscard;
            }
            break;
        default:
            Pictor::ilog(Pictor::LogLevel::Warning, "ThermalGainMode: unknown gain mode %d",
                         static_cast<int>(mode));
            break;
    }
}

void ThermalGainModeBlock::take_histogram(const Pictor::histogram_data& histogram) {
    if (m_histograms_to_discard > 0) {
        --m_histograms_to_discard;
    } else {
        // The radiance level is the histogram's upper bound: the count that
        // the hottest share of the picture (the histogram cut) exceeds. A hot
        // object larger than that share takes the camera to low gain before
        // it saturates, and its leaving brings high gain back.
        const int32_t level = histogram.high;
        m_levels[m_state] = level;
        if (m_offset_due) {
            m_offset_due = false;
            const int64_t limit = int64_t{1} << (m_offset_bits - 1);
            const int64_t offset =
                int64_t{m_low_gain_offset} + m_levels[kHighGain] - m_levels[kLowGain];
            m_low_gain_offset = static_cast<int32_t>(std::clamp(offset, -limit, limit - 1));
            m_low_gain_offset_out.send({m_low_gain_offset});
        }
        if (m_auto_switching) {
            switch_automatically(level);
        }
    }
    if (m_low_gain_retry > 0 && m_state == kHighGain && both_gains_enabled() &&
        --m_low_gain_retry == 0) {
        m_auto_switching = false;
        set_mode(1);
        m_histograms_to_discard += kServiceSwitchDiscard;
    }
}

void ThermalGainModeBlock::switch_automatically(int32_t level) {
    const auto now = m_now();
    if (m_last_switch && now - *m_last_switch < std::chrono::seconds(1)) {
        return;
    }
    if (m_state == kLowGain && level < m_low_to_high_limit) {
        set_mode(2);
    } else if (m_state == kHighGain && level > m_high_to_low_limit) {
        set_mode(1);
    }
}

void ThermalGainModeBlock::set_mode(int32_t mode) {
    Pictor::ilog(Pictor::LogLevel::Info, "Set gain mode %d", static_cast<int>(mode));
    const GainState state = mode == 1 || mode == 4 ? kLowGain : kHighGain;
    Pictor::ilog(Pictor::LogLevel::Info,
                 state == kLowGain ? "Switch to low gain mode" : "Switch to high gain mode");
    const bool state_changed = state != m_state;
    if (state_changed &&
        std::abs(int64_t{m_fpa_temperature} - m_offset_temperature) >= m_offset_temperature_step) {
        m_offset_due = true;
        m_offset_temperature = m_fpa_temperature;
    }
    m_mode = mode;
    m_state = state;
    m_gain_mode_out.send({mode});
    m_quick_ctrl_out.send({m_change_period});
    m_last_switch = m_now();
    m_histograms_to_discard = m_discard_after_switch;
    if (state_changed) {
        publish_raw_properties();
    }
}

void ThermalGainModeBlock::publish_histogram_cut() {
    m_histogram_cut_out.send({m_cut_fraction, m_cut_fraction});
}

void ThermalGainModeBlock::publish_raw_properties() {
    if (!m_sensor_raw_properties0_in.has_value()) {
        return;
    }
    Pictor::sensor_raw_properties properties = m_sensor_raw_properties0_in.get();
    const auto state = static_cast<size_t>(m_state);
    properties.noise_read =
        m_noise.read_offset[state] + m_noise.read_gain[state] * properties.noise_read;
    properties.noise_fixed_pattern =
        m_noise.dsnu_offset[state] + m_noise.dsnu_gain[state] * properties.noise_fixed_pattern;
    m_sensor_raw_properties0_out.send(properties);
}
