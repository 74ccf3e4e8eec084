#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pictor/block.h"

// The base of microbolometer sensor blocks: the sensor's geometry and modes,
// the ports every sensor has, and what it reports per frame.
//
// Ports it adds: in "sensor_exposure_in" (sensor_exposure_array),
// "exposure_info_in" (sensor_exposure), "sensor_regs_in" (sensor_register_array),
// "streaming_in" (datatype_bool); out "sensor_exposure_out" (sensor_exposure),
// "sensor_raw_properties_out" (sensor_raw_properties), "sensor_bias_out" and
// "sensor_bias_run_out" (sensor_bias_properties), "registers_latency1_out" and
// "registers_latency2_out" (sensor_register_array).
class SensorBlock : public Pictor::Block {
  public:
    // One read-out mode of the sensor.
    struct SensorMode {
        std::string name;
        int width = 0;
        int height = 0;
        float max_fps = 0.0f;
        // The sensor's line and frame timing in its own units, as written to
        // its timing registers.
        uint32_t line_timing = 0;
        uint32_t frame_timing = 0;
    };

    SensorBlock(std::string name, Pictor::BlockConfiguration configuration, int maturity, int width,
                int height, int interface_type, int bus_type, int bus_address);

    int get_maturity() const { return m_maturity; }
    int get_width() const { return m_width; }
    int get_height() const { return m_height; }
    int get_interface_type() const { return m_interface_type; }
    int get_bus_type() const { return m_bus_type; }
    int get_bus_address() const { return m_bus_address; }
    // The sensor interface (video channel) whose bus the sensor is on: the
    // configuration's "channel", 0 when it has none.
    int get_channel() const { return m_channel; }

    // Keeps the bus to the sensor open between accesses instead of opening it
    // for each.
    void set_keep_sensor_bus_open(bool keep) { m_keep_sensor_bus_open = keep; }
    bool get_keep_sensor_bus_open() const { return m_keep_sensor_bus_open; }

    // The first mode added is the current one until another is selected.
    void add_sensor_mode(SensorMode mode);
    // Throws std::logic_error when no mode was added.
    const SensorMode& get_current_sensor_mode() const;
    // Throws std::invalid_argument for an unknown mode name.
    void select_sensor_mode(const std::string& name);

    // Sends the exposure and the raw-image properties of the frame being
    // captured; the raw properties carry the latest noise figures.
    void set_sensor_exposure_and_raw_properties_out(const Pictor::sensor_exposure& exposure,
                                                    Pictor::sensor_raw_properties raw);
    // The noise figures sent with the raw properties from now on.
    void update_noise_props(float read_noise, float shot_noise, float fixed_pattern_noise);

    // The sensor's own registers by field name (trims, window, integration
    // time, latch, serial fields), over the bus of the block's channel at its
    // bus address. Throw std::runtime_error when the sensor does not answer or has
    // no such field. Safe from any thread.
    uint32_t read_sensor_field(const std::string& field) const;
    void write_sensor_field(const std::string& field, uint32_t value);

  protected:
    Pictor::InPort<Pictor::sensor_exposure_array> m_sensor_exposure_in;
    Pictor::InPort<Pictor::sensor_exposure> m_exposure_info_in;
    Pictor::InPort<Pictor::sensor_register_array> m_sensor_regs_in;
    Pictor::InPort<Pictor::datatype_bool> m_streaming_in;
    Pictor::OutPort<Pictor::sensor_exposure> m_sensor_exposure_out;
    Pictor::OutPort<Pictor::sensor_raw_properties> m_sensor_raw_properties_out;
    Pictor::OutPort<Pictor::sensor_bias_properties> m_sensor_bias_out;
    Pictor::OutPort<Pictor::sensor_bias_properties> m_sensor_bias_run_out;
    Pictor::OutPort<Pictor::sensor_register_array> m_registers_latency1_out;
    Pictor::OutPort<Pictor::sensor_register_array> m_registers_latency2_out;

  private:
    int m_maturity;
    int m_width;
    int m_height;
    int m_interface_type;
    int m_bus_type;
    int m_bus_address;
    int m_channel;
    bool m_keep_sensor_bus_open = false;
    std::vector<SensorMode> m_modes;
    std::size_t m_current_mode = 0;
    float m_read_noise = 0.0f;
    float m_shot_noise = 0.0f;
    float m_fixed_pattern_noise = 0.0f;
};
