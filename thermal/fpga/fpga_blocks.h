#pragma once

#include "fpa_temperature.h"
#include "fpga_front_end.h"
#include "pictor/block.h"
#include "temperature_constants.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

// The FPGA of a split sensor arrangement, paired with a Lynred sensor block:
// FPGA bring-up, the FPA and camera temperatures through the FPGA's ADC
// channels, the gain-correction and absolute calibrations, and per run the
// triggered inputs and the histogram.
class FpgaBlock : public Pictor::Block {
  public:
    ~FpgaBlock() override;

    void start() override;
    void process() override;

  protected:
    // What the members add to the common FPGA block.
    struct Variant {
        bool agcAndWindowPorts;  // "gof_in", "histogram_out" and the exposure window
        bool fpsThread;          // FPS limitation detected on a thread of its own
        const char* uploadFailure;
        const char* blockClass;  // keys the FPA filter's state with the SPI device
    };
    FpgaBlock(const std::string& name, const Pictor::BlockConfiguration& configuration,
              const Variant& variant);

  private:
    void init();
    void writeImageFilters();
    void set_abs_corr_temp_filter();
    bool loadAbsoluteCalibration(uint32_t address);
    void gainTablesDone(bool loaded);
    void handleInputs();
    void handleAgcAndWindow();
    void readEeprom(const Pictor::ee_read& request);
    void readTemperatures();
    void sendHistogram();
    void detectFpsLimitation();

    const Variant m_variant;
    const int m_sensorWidth;
    const int m_sensorHeight;
    const int m_fpgaWidth;
    const int m_fpgaHeight;
    const thermal::FpaConversion m_conversion;
    const int m_channel;
    const bool m_zoom;
    const bool m_fpaAdcSelect;
    const int m_fpaAdcChannel;
    const bool m_camAdcSelect;
    const int m_camAdcChannel;
    const bool m_eepromSelect;
    const thermal::ImageFilterSettings m_filters;
    const int m_absMode;
    const int m_histogramShift;
    thermal::CameraTemperatureMap m_cameraMap;
    thermal::FpaFilter m_filter;
    thermal::CaptureRegisterState m_savedRegisters;

    int32_t m_fpaTemperature = 0;
    int m_videoFrame = 0;
    // Whether the gain tables are being loaded; each frame tells it.
    bool m_loading = false;
    bool m_ready = false;
    std::chrono::steady_clock::time_point m_lastTemperatureLog;
    std::atomic<bool> m_gainTablesLoaded{false};
    std::atomic<bool> m_absoluteLoaded{false};

    Pictor::InPort<Pictor::datatype_float> m_zoom_in;
    Pictor::InPort<Pictor::capture_mode_properties> m_capture_mode_in;
    Pictor::InPort<Pictor::datatype_bool> m_register_state_in;
    Pictor::InPort<Pictor::datatype_bool> m_test_pattern_in;
    Pictor::InPort<Pictor::datatype_bool> m_trigger_in;
    Pictor::InPort<Pictor::datatype_int32> m_capture_nuc_in;
    Pictor::InPort<Pictor::datatype_int32> m_capture_raw_in;
    Pictor::InPort<Pictor::datatype_int32> m_shutter_in;
    Pictor::InPort<Pictor::datatype_int32> m_gain_mode_in;
    Pictor::InPort<Pictor::histogram_cut> m_histogram_cut_in;
    Pictor::InPort<Pictor::datatype_int32> m_low_gain_offset_in;
    Pictor::InPort<Pictor::ee_read> m_eeprom_read_in;
    Pictor::InPort<Pictor::datatype_gof> m_gof_in;
    thermal::ExposureWindowPorts m_window;
    Pictor::EventPort* m_upload_done;

    Pictor::OutPort<Pictor::datatype_int32> m_fpa_temperature_out;
    Pictor::OutPort<Pictor::datatype_int32> m_camera_temperature_out;
    Pictor::OutPort<Pictor::datatype_int32> m_fpa_temperature_raw_out;
    Pictor::OutPort<Pictor::float_value> m_max_fps_out;
    Pictor::OutPort<Pictor::datatype_int32> m_raw_average_out;
    Pictor::OutPort<Pictor::datatype_bool> m_loading_gain_corr_out;
    Pictor::OutPort<Pictor::datatype_int32> m_video_type_out;
    Pictor::OutPort<Pictor::datatype_string> m_video_type_string_out;
    Pictor::OutPort<Pictor::datatype_int32> m_video_mode_enable_out;
    Pictor::OutPort<Pictor::histogram_data> m_histogram_data_out;
    Pictor::OutPort<Pictor::datatype_string> m_eeprom_out;
    Pictor::OutPort<Pictor::histogram_data> m_histogram_out;

    // Its uploader and the FPS thread use everything above; both are joined
    // first thing in the destructor.
    thermal::FpgaFrontEnd m_fpga;
    std::thread m_fpsThread;
};

// "J4IppFpga": the FPGA of the J4 sensor modules.
class J4IppFpgaBlock : public FpgaBlock {
  public:
    J4IppFpgaBlock(const std::string& name, const Pictor::BlockConfiguration& configuration);
};

// "Tm301eFpga": takes the AGC result and the exposure window, sends the
// histogram.
class Tm301eFpgaBlock : public FpgaBlock {
  public:
    Tm301eFpgaBlock(const std::string& name, const Pictor::BlockConfiguration& configuration);
};

// "Tm302eFpga": as Tm301eFpga, detecting the FPS limitation on a thread of
// its own.
class Tm302eFpgaBlock : public FpgaBlock {
  public:
    Tm302eFpgaBlock(const std::string& name, const Pictor::BlockConfiguration& configuration);
};
