#include "fpga_blocks.h"

#include "camlet_root.h"
#include "pictor/log.h"

#include <algorithm>
#include <fstream>

namespace {

constexpr uint32_t kFrameLayoutSensorRegister = 0x1000;
constexpr uint32_t kFrameLayoutOutputRegister = 0x1004;
constexpr uint32_t kFpaRawRegister = 0x4004;
constexpr uint32_t kAdcChannel0Register = 0x14000;
constexpr uint32_t kAdcChannel1Register = 0x14004;
constexpr uint32_t kFpaStatusRegister = 0xE008;
constexpr uint32_t kAbsTemperatureFilterRegister = 0x1A014;
constexpr uint32_t kGainModeRegister = 0x2020;
constexpr uint32_t kHistogramCutRegister = 0x2024;
constexpr uint32_t kLowGainOffsetRegister = 0x2028;
constexpr uint32_t kAgcGainRegister = 0x2030;
constexpr uint32_t kAgcOffsetRegister = 0x2034;
constexpr float kNominalFps = 30.0f;
// An absolute calibration file: "RAD1", width and height (16 bits each,
// little-endian), then the per-pixel data.
constexpr char kAbsoluteMagic[4] = {'R', 'A', 'D', '1'};

enum VideoType : int32_t { kOnePoint = 0, kTwoPoint = 1, kRadiance = 2 };

std::string spiDevice(const Pictor::BlockConfiguration& configuration) {
    return "/dev/spidev" + configuration.getString("device", "2.1");
}

thermal::GainTableLayout layoutFor(int width, int height) {
    const uint32_t tableBytes = uint32_t(width) * uint32_t(height) * 2;
    if (width * height > 384 * 288) {
        return {tableBytes, 270288960, 0xFED4000};
    }
    return {tableBytes, 269330560, 0xFF94000};
}

thermal::CameraTemperatureMap cameraMapOf(const Pictor::BlockConfiguration& configuration) {
    if (!configuration.getBool("cam_temp_adc_select", false)) {
        return {};
    }
    return {configuration.getIntVector("cam_temp_map_dl", {}),
            configuration.getIntVector("cam_temp_map_C", {})};
}

}  // namespace

FpgaBlock::FpgaBlock(const std::string& name, const Pictor::BlockConfiguration& configuration,
                     const Variant& variant)
    : Pictor::Block(name, configuration),
      m_variant(variant),
      m_sensorWidth(configuration.getInt("sensor_width")),
      m_sensorHeight(configuration.getInt("sensor_height")),
      m_fpgaWidth(configuration.getInt("fpga_width")),
      m_fpgaHeight(configuration.getInt("fpga_height")),
      m_conversion(thermal::deriveFpaConversion(configuration)),
      m_channel(configuration.getInt("channel", 0)),
      m_zoom(configuration.getBool("zoom", false)),
      m_fpaAdcSelect(configuration.getBool("fpa_temp_adc_select", false)),
      m_fpaAdcChannel(configuration.getInt("vtemp_adc_fpa_ch", 0)),
      m_camAdcSelect(configuration.getBool("cam_temp_adc_select", false)),
      m_camAdcChannel(configuration.getInt("cam_adc_ch", 0)),
      m_eepromSelect(configuration.getBool("sensor_eeprom_select", m_fpaAdcSelect)),
      m_filters(thermal::ImageFilterSettings::fromConfiguration(configuration, 90)),
      m_absMode(configuration.getInt("abs_mode", 0)),
      m_histogramShift(configuration.getInt("histogram_shift", 0)),
      m_cameraMap(cameraMapOf(configuration)),
      m_filter(m_conversion, thermal::fpaFilterState(variant.blockClass, spiDevice(configuration))),
      m_zoom_in(add_inport<Pictor::datatype_float>("current_zoom_mag")),
      m_capture_mode_in(add_inport<Pictor::capture_mode_properties>("fpga_capture_mode")),
      m_register_state_in(add_inport<Pictor::datatype_bool>("fpga_register_state")),
      m_test_pattern_in(add_inport<Pictor::datatype_bool>("fpga_test_pattern")),
      m_trigger_in(add_inport<Pictor::datatype_bool>("trigger_in")),
      m_capture_nuc_in(add_inport<Pictor::datatype_int32>("sensor_capture_nuc")),
      m_capture_raw_in(add_inport<Pictor::datatype_int32>("sensor_capture_raw")),
      m_shutter_in(add_inport<Pictor::datatype_int32>("shutter_control")),
      m_gain_mode_in(add_inport<Pictor::datatype_int32>("gain_mode_in")),
      m_histogram_cut_in(add_inport<Pictor::histogram_cut>("histogram_cut_in")),
      m_low_gain_offset_in(add_inport<Pictor::datatype_int32>("low_gain_offset_in")),
      m_eeprom_read_in(add_inport<Pictor::ee_read>("sensor_eeprom_read_in")),
      m_upload_done(make_eventport("gain_tables_loaded")),
      m_fpa_temperature_out(add_outport<Pictor::datatype_int32>("fpa_temperature_out")),
      m_camera_temperature_out(add_outport<Pictor::datatype_int32>("camera_temperature_out")),
      m_fpa_temperature_raw_out(add_outport<Pictor::datatype_int32>("fpa_temperature_raw_out")),
      m_max_fps_out(add_outport<Pictor::float_value>("sensor_max_fps_out")),
      m_raw_average_out(add_outport<Pictor::datatype_int32>("sensor_raw_average")),
      m_loading_gain_corr_out(add_outport<Pictor::datatype_bool>("loading_gain_corr_out")),
      m_video_type_out(add_outport<Pictor::datatype_int32>("video_type_out")),
      m_video_type_string_out(add_outport<Pictor::datatype_string>("video_type_string_out")),
      m_video_mode_enable_out(add_outport<Pictor::datatype_int32>("video_mode_enable_out")),
      m_histogram_data_out(add_outport<Pictor::histogram_data>("histogram_data_out")),
      m_eeprom_out(add_outport<Pictor::datatype_string>("sensor_eeprom_out")),
      m_fpga(spiDevice(configuration), layoutFor(m_sensorWidth, m_sensorHeight), m_channel) {
    if (variant.agcAndWindowPorts) {
        m_gof_in = add_inport<Pictor::datatype_gof>("gof_in");
        m_window =
            thermal::ExposureWindowPorts([this](auto port) { return add_inport(std::move(port)); });
        m_histogram_out = add_outport<Pictor::histogram_data>("histogram_out");
    }
}

FpgaBlock::~FpgaBlock() {
    m_fpga.stopUploads();
    if (m_fpsThread.joinable()) {
        try {
            m_fpsThread.join();
        } catch (const std::system_error&) {
            Pictor::ilog(Pictor::LogLevel::Error,
                         "Failed to join FPS limitation detection thread.");
        }
    }
}

void FpgaBlock::start() {
    if (!m_ready) {
        init();
        m_ready = true;
    }
}

void FpgaBlock::init() {
    {
        std::lock_guard<std::mutex> lock(m_fpga.mutex());
        m_fpga.spi().fpga_create();
        m_fpga.spi().fpga_write_reg(kFrameLayoutSensorRegister,
                                    uint32_t(m_sensorWidth) | uint32_t(m_sensorHeight) << 16);
        m_fpga.spi().fpga_write_reg(kFrameLayoutOutputRegister,
                                    uint32_t(m_fpgaWidth) | uint32_t(m_fpgaHeight) << 16);
    }
    m_fpga.waitForMemory();
    {
        std::lock_guard<std::mutex> lock(m_fpga.mutex());
        thermal::writeShutterPulses(m_fpga.spi(), m_filters);
        thermal::startOnePointVideo(m_fpga.spi(), thermal::kFpgaBlockShutterRegister);
    }
    m_video_type_out.send({kOnePoint});
    m_video_type_string_out.send({"OnePoint"});
    readTemperatures();

    m_fpga.loadDefectPixels();
    m_fpga.applyExposureWindow("center", {}, m_sensorWidth, m_sensorHeight);
    if (m_variant.fpsThread) {
        m_fpsThread = std::thread([this] { detectFpsLimitation(); });
    } else {
        m_max_fps_out.send({m_fpga.detectMaxFps(kNominalFps)});
    }
    writeImageFilters();
    set_abs_corr_temp_filter();

    m_loading = true;
    m_fpga.startGainUpload(
        [this](bool loaded) {
            m_gainTablesLoaded = loaded;
            const uint32_t tablesEnd = [this] {
                std::lock_guard<std::mutex> lock(m_fpga.mutex());
                return (m_fpga.spi().read(0x1A00C) & 0xFFFFFF) + m_fpga.layout().uploadOffset +
                       thermal::kZoomLevels * m_fpga.layout().tableBytes;
            }();
            m_absoluteLoaded = loadAbsoluteCalibration(tablesEnd);
            m_upload_done->fire();
        },
        m_variant.uploadFailure);
}

void FpgaBlock::detectFpsLimitation() {
    try {
        m_max_fps_out.send({m_fpga.detectMaxFps(kNominalFps)});
    } catch (const std::exception&) {
        Pictor::ilog(Pictor::LogLevel::Warning,
                     "FPS limitation detection thread closed. Assume no limitation");
        m_max_fps_out.send({kNominalFps});
    }
}

void FpgaBlock::writeImageFilters() {
    std::lock_guard<std::mutex> lock(m_fpga.mutex());
    thermal::writeImageFilters(m_fpga.spi(), m_filters);
}

void FpgaBlock::set_abs_corr_temp_filter() {
    std::lock_guard<std::mutex> lock(m_fpga.mutex());
    m_fpga.spi().fpga_write_reg(kAbsTemperatureFilterRegister, 1);
}

bool FpgaBlock::loadAbsoluteCalibration(uint32_t address) {
    const std::string path =
        std::string(thermal::kCalibrationDirectory) + "rad_channel_" + std::to_string(m_channel);
    std::ifstream file(camlet::rootedPath(path), std::ios::binary);
    if (!file) {
        return false;
    }
    char header[8];
    if (!file.read(header, sizeof header)) {
        Pictor::ilog(Pictor::LogLevel::Error, "Failed to read file");
        return false;
    }
    if (!std::equal(header, header + 4, kAbsoluteMagic)) {
        Pictor::ilog(Pictor::LogLevel::Error,
                     "Unknown absolute calibration data file format. "
                     "The absolute calibration is disabled.");
        return false;
    }
    const auto half = [&](int at) {
        return int(uint8_t(header[at])) | int(uint8_t(header[at + 1])) << 8;
    };
    if (half(4) != m_fpgaWidth || half(6) != m_fpgaHeight) {
        Pictor::ilog(Pictor::LogLevel::Error,
                     "The absolute calibration data doesn't match the camera's setup. The "
                     "absolute calibration is disabled.");
        return false;
    }
    std::lock_guard<std::mutex> lock(m_fpga.mutex());
    return m_fpga.spi().fpga_write_mem_from_file(path, address) == 0;
}

void FpgaBlock::gainTablesDone(bool loaded) {
    m_loading = false;
    const bool radiance = loaded && m_absoluteLoaded && m_absMode != 0;
    if (m_absMode != 0 && !radiance) {
        Pictor::ilog(Pictor::LogLevel::Error, "Failed to load thermometric calibration data!");
    }
    m_video_type_out.send({radiance ? kRadiance : kTwoPoint});
    m_video_type_string_out.send({radiance ? "Radiance" : "TwoPoint"});
}

void FpgaBlock::process() {
    if (!m_ready) {
        return;
    }
    if (m_upload_done->is_triggered()) {
        gainTablesDone(m_gainTablesLoaded);
    }
    // The loading state, the temperatures and the histogram belong to a
    // frame: they go out once with each frame trigger, not in every run
    // another input causes, so that the frame's stores downstream hold one
    // current value per frame.
    const bool frame = m_trigger_in.is_triggered();
    handleInputs();
    if (m_variant.agcAndWindowPorts) {
        handleAgcAndWindow();
    }
    if (m_eeprom_read_in.is_triggered()) {
        readEeprom(m_eeprom_read_in.get());
    }
    if (frame) {
        m_loading_gain_corr_out.send({m_loading});
        readTemperatures();
        sendHistogram();
    }
}

void FpgaBlock::handleInputs() {
    std::lock_guard<std::mutex> lock(m_fpga.mutex());
    thermal::FpgaSpi& spi = m_fpga.spi();
    if (m_register_state_in.is_triggered()) {
        if (m_register_state_in.get().value) {
            m_savedRegisters.save(spi);
        } else if (!m_savedRegisters.restore(spi)) {
            Pictor::ilog(Pictor::LogLevel::Warning, "No saved FPGA registers to restore");
        }
    }
    if (m_capture_mode_in.is_triggered()) {
        thermal::writeCaptureMode(spi, m_capture_mode_in.get().mode);
    }
    if (m_capture_raw_in.is_triggered()) {
        thermal::writeCaptureMode(spi, 1);
    }
    if (m_capture_nuc_in.is_triggered()) {
        thermal::writeCaptureMode(spi, 2);
    }
    if (m_shutter_in.is_triggered()) {
        const int request = m_shutter_in.get().value;
        thermal::writeShutterRequest(spi, thermal::kFpgaBlockShutterRegister, request);
        if (request == 0) {
            // The shutter needs the time to close before anything else moves.
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
    }
    if (m_zoom_in.is_triggered() && m_zoom && m_gainTablesLoaded) {
        thermal::writeZoomBlend(spi, m_fpga.layout(), m_zoom_in.get().value);
    }
    if (m_test_pattern_in.is_triggered()) {
        thermal::writeTestPattern(spi, m_test_pattern_in.get().value);
    }
    if (m_trigger_in.is_triggered()) {
        // Each frame announces the next of the video modes 0 to 3: enabled
        // (the mode) once the gain tables are in, disabled (its negative)
        // before, so the gain-mode switching learns which gains it may use.
        m_videoFrame = (m_videoFrame + 1) % 4;
        const bool usable = m_gainTablesLoaded && !m_fpga.uploading();
        m_video_mode_enable_out.send({usable ? m_videoFrame : -m_videoFrame});
    }
    if (m_gain_mode_in.is_triggered()) {
        spi.fpga_write_reg(kGainModeRegister, uint32_t(m_gain_mode_in.get().value));
    }
    if (m_histogram_cut_in.is_triggered()) {
        const auto permille = [](float fraction) {
            return uint32_t(std::clamp(fraction, 0.0f, 1.0f) * 1000.0f);
        };
        spi.fpga_write_reg(
            kHistogramCutRegister,
            permille(m_histogram_cut_in.get().low) | permille(m_histogram_cut_in.get().high) << 16);
    }
    if (m_low_gain_offset_in.is_triggered()) {
        spi.fpga_write_reg(kLowGainOffsetRegister, uint32_t(m_low_gain_offset_in.get().value));
    }
}

void FpgaBlock::handleAgcAndWindow() {
    if (m_gof_in.is_triggered()) {
        std::lock_guard<std::mutex> lock(m_fpga.mutex());
        m_fpga.spi().fpga_write_reg(kAgcGainRegister,
                                    uint32_t(std::max(m_gof_in.get().gain, 0.0f) * 65536.0f));
        m_fpga.spi().fpga_write_reg(kAgcOffsetRegister, uint32_t(m_gof_in.get().offset));
    }
    m_window.applyTo(m_fpga, m_sensorWidth, m_sensorHeight);
}

void FpgaBlock::readEeprom(const Pictor::ee_read& request) {
    if (!m_eepromSelect) {
        Pictor::ilog(Pictor::LogLevel::Error, "Failed to read from sensor EEPROM.");
        return;
    }
    if (const std::optional<std::string> record = m_fpga.readEeprom(request)) {
        m_eeprom_out.send({*record});
    }
}

void FpgaBlock::readTemperatures() {
    uint32_t raw;
    uint32_t status;
    uint32_t cameraRaw = 0;
    {
        std::lock_guard<std::mutex> lock(m_fpga.mutex());
        thermal::FpgaSpi& spi = m_fpga.spi();
        raw = m_fpaAdcSelect
                  ? spi.read(m_fpaAdcChannel != 0 ? kAdcChannel1Register : kAdcChannel0Register) &
                        0xFFFF
                  : spi.read(kFpaRawRegister);
        status = spi.read(kFpaStatusRegister);
        if (m_camAdcSelect && m_cameraMap.usable()) {
            cameraRaw =
                spi.read(m_camAdcChannel != 0 ? kAdcChannel1Register : kAdcChannel0Register) &
                0xFFFF;
        }
    }
    if (raw != 0) {
        m_fpaTemperature = m_conversion.toMilliCelsius(m_filter.filter(int64_t(raw)));
        m_fpa_temperature_out.send({m_fpaTemperature});
        m_fpa_temperature_raw_out.send({int32_t(raw)});
        m_raw_average_out.send({int32_t(status >> 16)});
    }
    debug_data().set("thermal_sensor_temp", m_fpaTemperature);

    const int32_t camera = m_cameraMap.milliCelsius(int(cameraRaw));
    m_camera_temperature_out.send({camera});
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastTemperatureLog >= std::chrono::seconds(1)) {
        m_lastTemperatureLog = now;
        Pictor::ilog(Pictor::LogLevel::Info, "Sensor temp: %.3f, Camera temp: %.3f",
                     m_fpaTemperature / 1000.0, camera / 1000.0);
    }
}

void FpgaBlock::sendHistogram() {
    const thermal::FpgaHistogram histogram = m_fpga.readHistogram(m_histogramShift);
    const Pictor::histogram_data data{histogram.low, histogram.high, histogram.centre,
                                      m_gainTablesLoaded.load()};
    m_histogram_data_out.send(data);
    if (m_variant.agcAndWindowPorts) {
        m_histogram_out.send(data);
    }
}

J4IppFpgaBlock::J4IppFpgaBlock(const std::string& name,
                               const Pictor::BlockConfiguration& configuration)
    : FpgaBlock(name, configuration,
                {false, false, "Failed to load gain correction data!", "J4IppFpga"}) {}

Tm301eFpgaBlock::Tm301eFpgaBlock(const std::string& name,
                                 const Pictor::BlockConfiguration& configuration)
    : FpgaBlock(name, configuration,
                {true, false, "Failed to upload gain correction!", "Tm301eFpga"}) {}

Tm302eFpgaBlock::Tm302eFpgaBlock(const std::string& name,
                                 const Pictor::BlockConfiguration& configuration)
    : FpgaBlock(name, configuration,
                {true, true, "Failed to upload gain correction!", "Tm302eFpga"}) {}
