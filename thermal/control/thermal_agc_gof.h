#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "pictor/block.h"

// "ThermalAgcGof": the automatic gain control. From the FPGA's histogram bounds
// it computes the gain and offset that map the raw signal onto the output
// range, damping the bounds so that the picture does not pump. Bounds, range
// and centre are 16-bit quantities and wrap modulo 65536.
//
// Configuration (all required): "damp_factor" D, "max_dev" M (dead band),
// "max_histogram_width" (output width), "center_point" (output centre),
// "min_gain", "max_gain".
class ThermalAgcGofBlock : public Pictor::Block {
  public:
    ThermalAgcGofBlock(const std::string& name, const Pictor::BlockConfiguration& configuration);

    void process() override;

  private:
    struct Bounds {
        uint16_t low = 0;
        uint16_t high = 0;
        uint16_t range = 0;
        uint16_t centre = 0;
    };

    void take_inputs();
    void set_damping(int damp_factor, int max_dev);
    // Whether the limit was recomputed for a new sensor maximum gain.
    bool update_gain_limit();
    Bounds damped(const Pictor::histogram_data& histogram, uint16_t input_centre);
    uint16_t damped_centre(uint16_t high, uint16_t low, uint16_t range, uint16_t input_centre);
    float limited_gain(uint16_t range) const;

    Pictor::InPort<Pictor::datatype_string> m_agc_mode_in;
    Pictor::InPort<Pictor::datatype_bool> m_faster_gof_in;
    Pictor::InPort<Pictor::histogram_data> m_histogram_in;
    Pictor::InPort<Pictor::image_hist_properties> m_image_hist_ctrl;
    Pictor::InPort<Pictor::datatype_bool> m_instant_gof_in;
    Pictor::InPort<Pictor::datatype_bool> m_pause_gof_in;
    Pictor::InPort<Pictor::datatype_float> m_sensor_max_gain_in;
    Pictor::OutPort<Pictor::datatype_gof> m_gof_out;
    Pictor::OutPort<Pictor::datatype_float> m_hist_max_out;
    Pictor::OutPort<Pictor::datatype_float> m_hist_min_out;

    int m_damp_factor;
    int m_max_dev;
    float m_output_width;
    float m_output_centre;
    float m_min_gain;
    float m_max_gain;
    float m_gain_limit;
    std::optional<float> m_sensor_max_gain;
    std::optional<float> m_last_sensor_max_gain;
    bool m_equalization = false;
    bool m_faster = false;
    bool m_instant = false;
    bool m_paused = false;
    Bounds m_previous;
    int m_last_centre_step = 0;
    int m_startup_runs = 300;
};
