#include "thermal_agc_gof.h"

#include <cmath>
#include <cstdlib>

#include "pictor/log.h"

namespace {

uint16_t wrap16(int value) {
    return static_cast<uint16_t>(value);
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

// One damped step of a tracked quantity towards a target that is `delta`
// away: one unit when `one_step` is set, otherwise a D-th of the way, and at
// least one unit once the delta leaves the dead band M.
int damp_step(int previous, int delta, bool one_step, int damp_factor, int max_dev) {
    if (one_step) {
        return previous + sign(delta);
    }
    if (delta / damp_factor != 0) {
        return previous + delta / damp_factor;
    }
    if (std::abs(delta) > max_dev) {
        return previous + sign(delta);
    }
    return previous;
}

}  // namespace

ThermalAgcGofBlock::ThermalAgcGofBlock(const std::string& name,
                                       const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration),
      m_agc_mode_in(add_inport<Pictor::datatype_string>("agc_mode_in")),
      m_faster_gof_in(add_inport<Pictor::datatype_bool>("faster_gof_in")),
      m_histogram_in(add_inport<Pictor::histogram_data>("histogram_in")),
      m_image_hist_ctrl(add_inport<Pictor::image_hist_properties>("image_hist_ctrl")),
      m_instant_gof_in(add_inport<Pictor::datatype_bool>("instant_gof_in")),
      m_pause_gof_in(add_inport<Pictor::datatype_bool>("pause_gof_in")),
      m_sensor_max_gain_in(add_inport<Pictor::datatype_float>("sensor_max_gain_in")),
      m_gof_out(add_outport<Pictor::datatype_gof>("gof_out")),
      m_hist_max_out(add_outport<Pictor::datatype_float>("hist_max_out")),
      m_hist_min_out(add_outport<Pictor::datatype_float>("hist_min_out")),
      m_damp_factor(1),
      m_max_dev(0),
      m_output_width(configuration.getFloat("max_histogram_width")),
      m_output_centre(configuration.getFloat("center_point")),
      m_min_gain(configuration.getFloat("min_gain")),
      m_max_gain(configuration.getFloat("max_gain")),
      m_gain_limit(m_max_gain) {
    set_damping(configuration.getInt("damp_factor"), configuration.getInt("max_dev"));
}

void ThermalAgcGofBlock::set_damping(int damp_factor, int max_dev) {
    // The damping divides by D: a D below 1 would divide by zero or invert
    // the direction of every step.
    if (damp_factor < 1) {
        Pictor::ilog(Pictor::LogLevel::Error, "ThermalAgcGof: invalid damp factor %d, keeping %d",
                     damp_factor, m_damp_factor);
    } else {
        m_damp_factor = damp_factor;
    }
    m_max_dev = max_dev;
}

void ThermalAgcGofBlock::take_inputs() {
    if (m_image_hist_ctrl.is_triggered()) {
        set_damping(m_image_hist_ctrl.get().control, m_image_hist_ctrl.get().value);
    }
    if (m_agc_mode_in.is_triggered()) {
        m_equalization = m_agc_mode_in.get().value == "equalization";
    }
    if (m_sensor_max_gain_in.is_triggered()) {
        m_sensor_max_gain = m_sensor_max_gain_in.get().value;
    }
    if (m_faster_gof_in.is_triggered()) {
        m_faster = m_faster_gof_in.get().value;
    }
    if (m_instant_gof_in.is_triggered()) {
        m_instant = m_instant_gof_in.get().value;
    }
    if (m_pause_gof_in.is_triggered()) {
        m_paused = m_pause_gof_in.get().value;
    }
}

bool ThermalAgcGofBlock::update_gain_limit() {
    if (!m_sensor_max_gain || m_sensor_max_gain == m_last_sensor_max_gain) {
        return false;
    }
    m_last_sensor_max_gain = m_sensor_max_gain;
    const float sensor_max_gain = *m_sensor_max_gain;
    if (sensor_max_gain > 0.0f) {
        m_gain_limit = std::log10(sensor_max_gain) * 2000.0f / 30.0f / 100.0f * m_max_gain;
    } else {
        Pictor::ilog(Pictor::LogLevel::Error,
                     "ThermalAgcGof: sensor maximum gain %f has no logarithm, limit kept at %f",
                     static_cast<double>(sensor_max_gain), static_cast<double>(m_gain_limit));
    }
    return true;
}

void ThermalAgcGofBlock::process() {
    take_inputs();
    if (m_paused || !m_histogram_in.is_triggered()) {
        return;
    }
    const Pictor::histogram_data& histogram = m_histogram_in.get();
    const uint16_t low = wrap16(histogram.low);
    const uint16_t high = wrap16(histogram.high);
    uint16_t centre = wrap16(histogram.centre);
    if (m_equalization) {
        centre = wrap16(low + (high - low) / 2);
    }
    if (m_previous.high == 0) {
        m_previous = {low, high, wrap16(high - low), centre};
    }
    if (high <= low) {
        m_hist_min_out.send({static_cast<float>(m_previous.low)});
        m_hist_max_out.send({static_cast<float>(m_previous.high)});
        return;
    }

    const bool limit_changed = update_gain_limit();
    const Bounds next = limit_changed || histogram.flag || m_startup_runs > 0 || m_instant
                            ? Bounds{low, high, wrap16(high - low), centre}
                            : damped(histogram, centre);
    const float gain = limited_gain(next.range);
    const auto offset = static_cast<int32_t>(m_output_centre - next.centre * gain);
    m_gof_out.send({gain, offset});
    m_hist_min_out.send({static_cast<float>(next.low)});
    m_hist_max_out.send({static_cast<float>(next.high)});
    m_previous = next;
    if (!m_instant && m_startup_runs > 0) {
        --m_startup_runs;
    }
}

ThermalAgcGofBlock::Bounds ThermalAgcGofBlock::damped(const Pictor::histogram_data& histogram,
                                                      uint16_t input_centre) {
    const int dh = wrap16(histogram.high) - m_previous.high;
    const int dl = wrap16(histogram.low) - m_previous.low;
    // The one-step test is strict for the high bound and inclusive for the low one.
    const bool high_one_step =
        std::abs(dh) > 2 * m_max_dev && !(m_faster && std::abs(dl) > m_max_dev);
    const bool low_one_step =
        std::abs(dl) >= 2 * m_max_dev && !(m_faster && std::abs(dh) > m_max_dev);
    const uint16_t high =
        wrap16(damp_step(m_previous.high, dh, high_one_step, m_damp_factor, m_max_dev));
    const uint16_t low =
        wrap16(damp_step(m_previous.low, dl, low_one_step, m_damp_factor, m_max_dev));
    const int dr = (high - low) - m_previous.range;
    const uint16_t range = wrap16(damp_step(m_previous.range, dr, false, m_damp_factor, m_max_dev));
    return {low, high, range, damped_centre(high, low, range, input_centre)};
}

uint16_t ThermalAgcGofBlock::damped_centre(uint16_t high, uint16_t low, uint16_t range,
                                           uint16_t input_centre) {
    uint16_t candidate = input_centre;
    if (m_equalization) {
        const uint16_t from_high = wrap16(high - range / 2);
        const uint16_t from_low = wrap16(low + range / 2);
        const bool high_nearer =
            std::abs(from_high - m_previous.centre) < std::abs(from_low - m_previous.centre);
        candidate = high_nearer ? from_high : from_low;
    }
    const int step = candidate - m_previous.centre;
    if (sign(step) * sign(m_last_centre_step) < 0) {
        // A reversal is held back once: the centre does not jitter.
        m_last_centre_step = 0;
        return m_previous.centre;
    }
    m_last_centre_step = step;
    return candidate;
}

float ThermalAgcGofBlock::limited_gain(uint16_t range) const {
    if (m_min_gain > m_gain_limit) {
        return m_min_gain;
    }
    // A range of zero (the bounds met, or wrapped round) takes the highest
    // gain allowed instead of dividing by zero.
    const float gain = range == 0 ? m_gain_limit : m_output_width / range;
    if (gain < m_min_gain) {
        return m_min_gain;
    }
    return gain > m_gain_limit ? m_gain_limit : gain;
}
