#pragma once

#include "fpa_temperature.h"
#include "fpga_front_end.h"
#include "pictor/sensor_block.h"
#include "sensor_bringup.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace thermal {

// What tells the all-in-one members apart.
struct UlisMember {
    int width;
    int height;
    const TrimFormula& trims;
    FpaConversion conversion;
    GainTableLayout tables;
    uint32_t integrationTime;  // written at bring-up
    int settleMicros;          // between the first sensor writes
    bool adc3562;              // the video ADC: ADC3562 instead of ADS4142
};

// How the integration time follows the FPA temperature.
struct IntegrationTimeCurve {
    bool optimized;
    float tempLow;
    int timeLow;
    float tempHigh;
    int timeHigh;
    float c[4];

    static IntegrationTimeCurve fromConfiguration(const Pictor::BlockConfiguration& configuration);
    int at(int32_t milliCelsius) const;
};

}  // namespace thermal

// A ULIS microbolometer with its FPGA and converters, driven from one block:
// bring-up when the pipeline starts, then per run the triggered inputs, the
// FPA temperature (and the integration time that follows it) and the FPGA's
// histogram bounds.
class UlisSensorBlock : public SensorBlock {
  public:
    ~UlisSensorBlock() override;

    void start() override;
    void process() override;

  protected:
    UlisSensorBlock(const std::string& name, const Pictor::BlockConfiguration& configuration,
                    const thermal::UlisMember& member, std::atomic<int64_t>& filterState);

  private:
    void init();
    void setUpConverters(const thermal::BiasVoltages& bias);
    void writeImageFilters();
    void readFpaTemperature();
    void applyIntegrationTime(int value);
    void handleInputs();

    const thermal::UlisMember& m_member;
    thermal::FpaFilter m_filter;
    thermal::FpgaFrontEnd m_fpga;
    thermal::CaptureRegisterState m_savedRegisters;
    thermal::IntegrationTimeCurve m_curve;
    int m_channel;
    bool m_zoom;
    thermal::ImageFilterSettings m_filters;

    int32_t m_temperature = 0;
    int m_lastIntegrationTime = -1;
    bool m_ready = false;
    std::atomic<bool> m_gainTablesLoaded{false};

    Pictor::InPort<Pictor::sensor_bias_properties> m_bias_in;
    Pictor::InPort<Pictor::datatype_bool> m_register_state_in;
    Pictor::InPort<Pictor::capture_mode_properties> m_capture_mode_in;
    Pictor::InPort<Pictor::datatype_int32> m_capture_raw_in;
    Pictor::InPort<Pictor::datatype_int32> m_capture_nuc_in;
    Pictor::InPort<Pictor::datatype_int32> m_shutter_in;
    Pictor::InPort<Pictor::datatype_float> m_zoom_in;
    Pictor::InPort<Pictor::datatype_bool> m_agc_in;
    thermal::ExposureWindowPorts m_window;
    Pictor::InPort<Pictor::image_hist_properties> m_hist_ctrl_in;
    Pictor::InPort<Pictor::datatype_bool> m_test_pattern_in;
    Pictor::InPort<Pictor::datatype_bool> m_pt_move_in;
    Pictor::InPort<Pictor::datatype_int32> m_delta_temp_in;
    Pictor::InPort<Pictor::datatype_int32> m_delta_time_in;
    Pictor::InPort<Pictor::ee_read> m_eeprom_read_in;
    Pictor::EventPort* m_upload_done;

    Pictor::OutPort<Pictor::datatype_int32> m_raw_average_out;
    Pictor::OutPort<Pictor::datatype_int32> m_integration_time_legacy_out;
    Pictor::OutPort<Pictor::float_value> m_max_fps_out;
    Pictor::OutPort<Pictor::datatype_int32> m_hist_min_out;
    Pictor::OutPort<Pictor::datatype_int32> m_hist_max_out;
    Pictor::OutPort<Pictor::datatype_int32> m_fpa_temperature_out;
    Pictor::OutPort<Pictor::datatype_int32> m_fpa_temperature_raw_out;
    Pictor::OutPort<Pictor::datatype_string> m_video_type_string_out;
    Pictor::OutPort<Pictor::datatype_int32> m_integration_cap_out;
    Pictor::OutPort<Pictor::datatype_int32> m_integration_time_out;
    Pictor::OutPort<Pictor::datatype_string> m_eeprom_out;
};

// "PICO384P": the 384 × 288 ULIS sensor.
class UlisPico384PSensorBlock : public UlisSensorBlock {
  public:
    UlisPico384PSensorBlock(const std::string& name,
                            const Pictor::BlockConfiguration& configuration);
};

// "PICO640": the 640 × 480 ULIS sensor.
class UlisPico640Gen2SensorBlock : public UlisSensorBlock {
  public:
    UlisPico640Gen2SensorBlock(const std::string& name,
                               const Pictor::BlockConfiguration& configuration);
};

// "PICO640G2": the 640 × 480 ULIS sensor of the Hearth module, with an
// ADC3562 for the video.
class UlisPico640Gen2HearthSensorBlock : public UlisSensorBlock {
  public:
    UlisPico640Gen2HearthSensorBlock(const std::string& name,
                                     const Pictor::BlockConfiguration& configuration);
};
