#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pictor/block.h"
#include "steady_time.h"

// Chooses between the sensor's low-gain and high-gain modes, automatically by
// scene radiance or as the thermography service requests, and keeps the
// low-gain offset that makes the two modes match.
//
// Modes: 0 and 2 high gain, 1 low gain, 3 and 4 automatic switching (4
// starting in low gain), 5 high gain chosen by automatic switching or the
// service. Each switch is published on "gain_mode_out" and "quick_ctrl_out",
// and the histograms of the next frames are ignored while the sensor settles.
//
// Configuration ("gain_mode_cfg"): "radiance_high_to_low_limit" [14880],
// "radiance_low_to_high_limit" [10640], "auto_switch_mode" [3],
// "gain_mode_change_period" [45], "lg_offset_dT" [200] (m°C),
// "lg_offset_bits" [14], "as_hist_discard" [26], and the noise model per gain
// state 0, 1, 2: "read_noise_offset", "read_noise_gain", "dsnu_offset",
// "dsnu_gain" (three floats each).
class ThermalGainModeBlock : public Pictor::Block {
  public:
    ThermalGainModeBlock(const std::string& name, const Pictor::BlockConfiguration& configuration);

    // Publishes the initial histogram cut.
    void start() override;
    void process() override;

    void set_clock(thermal::SteadyClock clock) { m_now = std::move(clock); }

  private:
    enum GainState { kLowGain = 1, kHighGain = 2 };
    using NoiseTerms = std::array<float, 3>;
    struct NoiseModel {
        NoiseTerms read_offset;
        NoiseTerms read_gain;
        NoiseTerms dsnu_offset;
        NoiseTerms dsnu_gain;
    };

    bool take_video_mode_enable(int32_t value);
    void act_on_requested_mode();
    void take_service_gain_mode(int32_t mode);
    void take_histogram(const Pictor::histogram_data& histogram);
    void switch_automatically(int32_t level);
    void set_mode(int32_t mode);
    void publish_histogram_cut();
    void publish_raw_properties();
    bool enabled(int32_t mode) const { return m_enabled[static_cast<size_t>(mode)]; }
    bool both_gains_enabled() const { return enabled(1) && enabled(2); }
    NoiseTerms noise_terms(const Pictor::BlockConfiguration& configuration, const char* key,
                           const NoiseTerms& fallback) const;

    Pictor::InPort<Pictor::datatype_int32> m_video_mode_enable_in;
    Pictor::InPort<Pictor::histogram_data> m_histogram_data_in;
    Pictor::InPort<Pictor::datatype_int32> m_fpa_temperature_in;
    Pictor::InPort<Pictor::sensor_raw_properties> m_sensor_raw_properties0_in;
    Pictor::InPort<Pictor::datatype_int32> m_quarp_gain_mode_in;
    Pictor::InPort<Pictor::datatype_int32> m_quarp_gain_threshold_in;
    Pictor::OutPort<Pictor::datatype_int32> m_gain_mode_out;
    Pictor::OutPort<Pictor::histogram_cut> m_histogram_cut_out;
    Pictor::OutPort<Pictor::datatype_int32> m_quick_ctrl_out;
    Pictor::OutPort<Pictor::datatype_int32> m_low_gain_offset_out;
    Pictor::OutPort<Pictor::sensor_raw_properties> m_sensor_raw_properties0_out;

    int32_t m_high_to_low_limit;
    int32_t m_low_to_high_limit;
    int32_t m_change_period;
    int32_t m_offset_temperature_step;
    int32_t m_offset_bits;
    int32_t m_discard_after_switch;
    NoiseModel m_noise;

    thermal::SteadyClock m_now = thermal::system_steady_clock();
    std::array<bool, 6> m_enabled{};
    int32_t m_requested_mode;
    // The mode set last; 0 until one is set, which lets automatic switching start.
    int32_t m_mode = 0;
    GainState m_state = kLowGain;
    bool m_auto_switching = false;
    std::optional<std::chrono::steady_clock::time_point> m_last_switch;
    int32_t m_histograms_to_discard = 0;
    // Histograms until a low-gain request that could not be served is retried; 0 = none.
    int32_t m_low_gain_retry = 0;
    std::array<int32_t, 3> m_levels{};
    int32_t m_low_gain_offset = 0;
    bool m_offset_due = false;
    int32_t m_fpa_temperature = 0;
    int32_t m_offset_temperature = -99000;
    float m_cut_fraction = 0.03f;
};
