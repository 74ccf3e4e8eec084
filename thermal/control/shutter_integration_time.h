#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "pictor/block.h"
#include "steady_time.h"

// What both integration-time blocks share: the integration time follows the
// focal-plane (FPA) temperature, and the shutter is closed for a one-point
// recalibration when the temperature has drifted, when enough time has
// passed, or when the integration time could not absorb the change. A new
// block has a calibration pending and asks for it 3 s after its first run.
//
// Ports: in "fpa_temperature_in" (m°C), "pause_all_in", "pause_intt_in",
// "shutter_control_in" (forwarded unchanged), "shutter_delta_time_in" (s),
// "shutter_delta_temp_in" (m°C), "set_cal_int_time_in"; out
// "shutter_control_out" (this block sends 3, the recalibration request) and
// "sensor_integration_time_out".
class ShutterIntegrationTimeBase : public Pictor::Block {
  public:
    static constexpr int32_t kRecalibrate = 3;

    void process() override;

    void set_clock(thermal::SteadyClock clock) { m_now = std::move(clock); }

  protected:
    ShutterIntegrationTimeBase(const std::string& name,
                               const Pictor::BlockConfiguration& configuration, const char* tag,
                               int32_t calibration_integration_time);

    // The integration time for the current temperature; none while the law
    // is paused.
    virtual std::optional<int32_t> integration_time_law() const = 0;
    // Inputs of a derived block, taken before the decision.
    virtual void take_own_inputs() {}
    // A reason besides a pending calibration to recalibrate whatever the thresholds say.
    virtual bool recalibration_forced() const { return false; }
    virtual void clear_forced_recalibration() {}

    int32_t fpa_temperature() const { return m_fpa_temperature; }
    bool integration_paused() const { return m_pause_integration; }
    int32_t last_integration_time() const { return m_last_integration_time; }
    void request_calibration() { m_calibration_pending = true; }

  private:
    void take_inputs();
    void decide();
    // Evaluates the law; whether it published a new integration time.
    bool update_integration_time();
    void publish_integration_time(int32_t integration_time);
    void record_shutter_event(std::chrono::steady_clock::time_point now);

    Pictor::InPort<Pictor::datatype_int32> m_fpa_temperature_in;
    Pictor::InPort<Pictor::datatype_bool> m_pause_all_in;
    Pictor::InPort<Pictor::datatype_bool> m_pause_intt_in;
    Pictor::InPort<Pictor::datatype_int32> m_shutter_control_in;
    Pictor::InPort<Pictor::datatype_int32> m_shutter_delta_time_in;
    Pictor::InPort<Pictor::datatype_int32> m_shutter_delta_temp_in;
    Pictor::InPort<Pictor::datatype_bool> m_set_cal_int_time_in;
    Pictor::OutPort<Pictor::datatype_int32> m_shutter_control_out;
    Pictor::OutPort<Pictor::datatype_int32> m_sensor_integration_time_out;

    std::string m_tag;
    int32_t m_calibration_integration_time;
    thermal::SteadyClock m_now = thermal::system_steady_clock();
    int32_t m_fpa_temperature = 20000;
    int32_t m_last_shutter_temperature = 20000;
    std::chrono::steady_clock::time_point m_last_shutter_time{};
    std::optional<std::chrono::steady_clock::time_point> m_calibration_start;
    bool m_calibration_pending = true;
    bool m_pause_all = false;
    bool m_pause_integration = false;
    int32_t m_last_integration_time = 0;
    int32_t m_delta_temperature = 200;
    int32_t m_delta_time = 720;
};

// "ShutterIntTime": a linear integration-time law between two temperatures.
// Keys (required): "linear_temp_low", "linear_temp_high" (m°C),
// "int_time_temp_low", "int_time_temp_high" (the integration times there),
// "cal_int_time" (used while raw capture is on; 0 = never).
class ShutterIntegrationTimeBlock : public ShutterIntegrationTimeBase {
  public:
    ShutterIntegrationTimeBlock(const std::string& name,
                                const Pictor::BlockConfiguration& configuration);

  private:
    std::optional<int32_t> integration_time_law() const override;

    int32_t m_temperature_low;
    int32_t m_temperature_high;
    int32_t m_integration_time_low;
    int32_t m_integration_time_high;
};

// "ShutterIntTimeX3": a cubic integration-time law in °C, limited at both
// ends, with separate tables for high and low gain, an override, and a
// recalibration after each gain change. Extra inputs "gain_mode_in" (1 = low
// gain) and "override_int_t_in" (0 = no override).
//
// Keys: "intt_temp_limits" [10.0, 60.0], "intt_intt_limits" [390, 100],
// "intt_temp_factors" c0..c3 [448.0, -5.8, 0, 0], the low-gain tables
// "lg_intt_temp_limits" [-50.0, 75.0], "lg_intt_intt_limits" [100, 100],
// "lg_intt_temp_factors" [100.0, 0, 0, 0], and "cal_int_time" [0]. The
// active tables are reported as the diagnostic values "intt.temp_limits",
// "intt.intt_limits" and "intt.temp_factors", the current integration time
// as "thermal_sensor_itime".
class ShutterIntegrationTimeX3Block : public ShutterIntegrationTimeBase {
  public:
    ShutterIntegrationTimeX3Block(const std::string& name,
                                  const Pictor::BlockConfiguration& configuration);

    void process() override;

  private:
    struct Table {
        std::array<double, 2> temperature_limits;
        std::array<int32_t, 2> integration_time_limits;
        std::array<double, 4> factors;
    };
    static Table read_table(const Pictor::BlockConfiguration& configuration,
                            const std::string& prefix, const Table& fallback);

    std::optional<int32_t> integration_time_law() const override;
    void take_own_inputs() override;
    bool recalibration_forced() const override { return m_gain_changed; }
    void clear_forced_recalibration() override { m_gain_changed = false; }
    const Table& active_table() const { return m_gain_mode == 1 ? m_low_gain : m_high_gain; }
    void report_active_table();

    Pictor::InPort<Pictor::datatype_int32> m_gain_mode_in;
    Pictor::InPort<Pictor::datatype_int32> m_override_int_t_in;
    Table m_high_gain;
    Table m_low_gain;
    int32_t m_gain_mode = 0;
    bool m_gain_changed = false;
    int32_t m_override = 0;
};
