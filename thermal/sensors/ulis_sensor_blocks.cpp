#include "ulis_sensor_blocks.h"

#include "iio_dac.h"
#include "pictor/log.h"
#include "ti_adc3562.h"
#include "ti_ads4142.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace thermal {

IntegrationTimeCurve IntegrationTimeCurve::fromConfiguration(
    const Pictor::BlockConfiguration& configuration) {
    return {configuration.getBool("intt_optimized", false),
            configuration.getFloat("intt_temp_low", 10.0f),
            configuration.getInt("intt_time_low", 390),
            configuration.getFloat("intt_temp_high", 60.0f),
            configuration.getInt("intt_time_high", 100),
            {configuration.getFloat("intt_c0", 0.0f), configuration.getFloat("intt_c1", 0.0f),
             configuration.getFloat("intt_c2", 0.0f), configuration.getFloat("intt_c3", 0.0f)}};
}

int IntegrationTimeCurve::at(int32_t milliCelsius) const {
    if (optimized) {
        const float t = float(milliCelsius / 1000);
        if (t <= tempLow) {
            return timeLow;
        }
        if (t >= tempHigh) {
            return timeHigh;
        }
        return int(c[0] + c[1] * t + c[2] * t * t + c[3] * t * t * t);
    }
    const double low = 1000.0 * tempLow;
    const double high = 1000.0 * tempHigh;
    if (high <= low) {
        return timeLow;
    }
    const double clamped = std::min(std::max(double(milliCelsius), low), high);
    return int(timeLow + (timeHigh - timeLow) * (clamped - low) / (high - low));
}

}  // namespace thermal

namespace {

using thermal::UlisMember;

constexpr uint32_t kFpaRawRegister = 0x4004;
constexpr uint32_t kFpaStatusRegister = 0xE008;
constexpr uint32_t kHistogramControlRegister = 0x2010;
constexpr float kNominalFps = 30.0f;

const UlisMember kPico384 = {384,
                             288,
                             thermal::kTrims384,
                             {162162, 4718304, 2520360, 58192},
                             {221184, 269330560, 0xFF94000},
                             183,
                             0,
                             false};
const UlisMember kPico640 = {640,
                             480,
                             thermal::kTrims640,
                             {160875, 7863840, 4521330, 97763},
                             {614400, 270288960, 0xFED4000},
                             439,
                             120,
                             false};
const UlisMember kPico640Hearth = {640,
                                   480,
                                   thermal::kTrims640,
                                   {162162, 7863840, 4277929, 96987},
                                   {614400, 270903424, 0xFED4000},
                                   439,
                                   120,
                                   true};

// The DAC of the analog side: channel 3 bias A, channel 2 bias B, channel 1
// 3.6 V and channel 0 1.7 V, each behind an amplifier of gain 2 (the DAC
// itself reaches 2.5 V). Null (logged) when there is none.
std::unique_ptr<thermal::IioDac> openDac() {
    const std::optional<int> device = thermal::IioDac::find("dac80504");
    if (!device) {
        Pictor::ilog(Pictor::LogLevel::Error, "No IIO device dac80504; bias voltages not set");
        return nullptr;
    }
    auto dac = std::make_unique<thermal::IioDac>(*device, thermal::IioDac::kChannels, 16,
                                                 std::array<double, 4>{2.0, 2.0, 2.0, 2.0});
    Pictor::ilog(Pictor::LogLevel::Info, "DAC path: %s", dac->directory().c_str());
    return dac;
}

void writeBias(thermal::IioDac* dac, const thermal::BiasVoltages& bias) {
    if (dac != nullptr) {
        dac->write(2, bias.b);
        dac->write(3, bias.a);
    }
}

}  // namespace

UlisSensorBlock::UlisSensorBlock(const std::string& name,
                                 const Pictor::BlockConfiguration& configuration,
                                 const UlisMember& member, std::atomic<int64_t>& filterState)
    : SensorBlock(name, configuration, 2, member.width, member.height, 1, 1, 36),
      m_member(member),
      m_filter(member.conversion, filterState),
      m_fpga(thermal::kFpgaDevice, member.tables, configuration.getInt("channel", 0)),
      m_curve(thermal::IntegrationTimeCurve::fromConfiguration(configuration)),
      m_channel(configuration.getInt("channel", 0)),
      m_zoom(configuration.getBool("zoom", false)),
      m_filters(thermal::ImageFilterSettings::fromConfiguration(configuration, 100)),
      m_bias_in(add_inport<Pictor::sensor_bias_properties>("sensor_bias_in")),
      m_register_state_in(add_inport<Pictor::datatype_bool>("fpga_register_state")),
      m_capture_mode_in(add_inport<Pictor::capture_mode_properties>("fpga_capture_mode")),
      m_capture_raw_in(add_inport<Pictor::datatype_int32>("sensor_capture_raw")),
      m_capture_nuc_in(add_inport<Pictor::datatype_int32>("sensor_capture_nuc")),
      m_shutter_in(add_inport<Pictor::datatype_int32>("shutter_control")),
      m_zoom_in(add_inport<Pictor::datatype_float>("current_zoom_mag")),
      m_agc_in(add_inport<Pictor::datatype_bool>("QUARP_AutomaticGainControl")),
      m_window([this](auto port) { return add_inport(std::move(port)); }),
      m_hist_ctrl_in(add_inport<Pictor::image_hist_properties>("image_hist_ctrl")),
      m_test_pattern_in(add_inport<Pictor::datatype_bool>("fpga_test_pattern")),
      m_pt_move_in(add_inport<Pictor::datatype_bool>("pt_move_in")),
      m_delta_temp_in(add_inport<Pictor::datatype_int32>("QUARP_TemperatureDeltaMillic")),
      m_delta_time_in(add_inport<Pictor::datatype_int32>("QUARP_CalibrationTimeInterval")),
      m_eeprom_read_in(add_inport<Pictor::ee_read>("sensor_eeprom_read_in")),
      m_upload_done(make_eventport("gain_tables_loaded")),
      m_raw_average_out(add_outport<Pictor::datatype_int32>("sensor_raw_average")),
      m_integration_time_legacy_out(add_outport<Pictor::datatype_int32>("sensor_integration_time")),
      m_max_fps_out(add_outport<Pictor::float_value>("sensor_max_fps_out")),
      m_hist_min_out(add_outport<Pictor::datatype_int32>("fpga_hist_min_out")),
      m_hist_max_out(add_outport<Pictor::datatype_int32>("fpga_hist_max_out")),
      m_fpa_temperature_out(add_outport<Pictor::datatype_int32>("fpa_temperature_out")),
      m_fpa_temperature_raw_out(add_outport<Pictor::datatype_int32>("fpa_temperature_raw_out")),
      m_video_type_string_out(add_outport<Pictor::datatype_string>("video_type_string_out")),
      m_integration_cap_out(add_outport<Pictor::datatype_int32>("sensor_integration_cap_out")),
      m_integration_time_out(add_outport<Pictor::datatype_int32>("sensor_integration_time_out")),
      m_eeprom_out(add_outport<Pictor::datatype_string>("sensor_eeprom_out")) {
    // Timing of the full-frame read-out in the sensor's clock units.
    add_sensor_mode({"full", member.width, member.height, kNominalFps, uint32_t(member.width + 116),
                     uint32_t(member.height + 32)});
}

UlisSensorBlock::~UlisSensorBlock() {
    m_fpga.stopUploads();
}

void UlisSensorBlock::start() {
    if (!m_ready) {
        init();
        m_ready = true;
    }
}

void UlisSensorBlock::init() {
    m_fpga.resetAndCheck();
    const std::string serial = thermal::readSerialNumber(*this);

    const thermal::BiasVoltages bias = thermal::sensorBias(*this, m_member.trims, m_channel);
    m_sensor_bias_out.send({bias.b, bias.a});
    setUpConverters(bias);

    thermal::programSensorFields(*this, m_member.integrationTime, m_member.settleMicros);
    m_lastIntegrationTime = int(m_member.integrationTime);
    m_integration_cap_out.send({1});
    m_integration_time_out.send({int32_t(m_member.integrationTime)});
    m_integration_time_legacy_out.send({int32_t(m_member.integrationTime)});

    m_fpga.waitForMemory();
    {
        std::lock_guard<std::mutex> lock(m_fpga.mutex());
        thermal::startOnePointVideo(m_fpga.spi(), thermal::kShutterRegister);
    }
    m_video_type_string_out.send({"OnePoint"});
    readFpaTemperature();

    m_fpga.loadDefectPixels();
    m_fpga.applyExposureWindow("center", {}, get_width(), get_height());
    m_max_fps_out.send({m_fpga.detectMaxFps(kNominalFps)});

    debug_data().set("serial_nbr", serial);
    writeImageFilters();
    m_fpga.startGainUpload([this](bool loaded) {
        m_gainTablesLoaded = loaded;
        m_upload_done->fire();
    });
}

void UlisSensorBlock::setUpConverters(const thermal::BiasVoltages& bias) {
    if (std::unique_ptr<thermal::IioDac> dac = openDac()) {
        writeBias(dac.get(), bias);
        dac->write(1, 3.6);
        dac->write(0, 1.7);
    }
    thermal::SpiLink adc(thermal::kAds4142Device, thermal::kConverterSpiHz);
    if (m_member.adc3562) {
        thermal::setUpAdc3562(adc);
    } else {
        thermal::setUpAds4142(adc);
    }
}

void UlisSensorBlock::writeImageFilters() {
    std::lock_guard<std::mutex> lock(m_fpga.mutex());
    thermal::writeImageFilters(m_fpga.spi(), m_filters);
    thermal::writeShutterPulses(m_fpga.spi(), m_filters);
}

void UlisSensorBlock::readFpaTemperature() {
    uint32_t raw;
    uint32_t status;
    {
        std::lock_guard<std::mutex> lock(m_fpga.mutex());
        raw = m_fpga.spi().read(kFpaRawRegister);
        status = m_fpga.spi().read(kFpaStatusRegister);
    }
    if (raw == 0) {
        return;
    }
    m_temperature = m_member.conversion.toMilliCelsius(m_filter.filter(int64_t(raw)));
    m_fpa_temperature_out.send({m_temperature});
    m_fpa_temperature_raw_out.send({int32_t(raw)});
    m_raw_average_out.send({int32_t(status >> 16)});
    debug_data().set("thermal_sensor_temp", m_temperature);
    debug_data().set("thermal_sensor_temp_raw", raw);
    if (!m_fpga.uploading()) {
        applyIntegrationTime(m_curve.at(m_temperature));
    }
}

void UlisSensorBlock::applyIntegrationTime(int value) {
    if (value == m_lastIntegrationTime || value <= 0) {
        return;
    }
    m_lastIntegrationTime = value;
    const bool confirmed = thermal::writeIntegrationTime(*this, uint32_t(value));
    m_integration_time_out.send({value});
    m_integration_time_legacy_out.send({value});
    debug_data().set("thermal_sensor_itime", value);
    if (!confirmed) {
        // Written again at the next evaluation.
        m_lastIntegrationTime = -1;
    }
}

void UlisSensorBlock::process() {
    if (!m_ready) {
        return;
    }
    handleInputs();
    readFpaTemperature();
    const thermal::FpgaHistogram histogram = m_fpga.readHistogram(0);
    m_hist_min_out.send({histogram.low});
    m_hist_max_out.send({histogram.high});
}

void UlisSensorBlock::handleInputs() {
    if (m_bias_in.is_triggered()) {
        const auto dac = openDac();
        writeBias(dac.get(), {m_bias_in.get().first, m_bias_in.get().second});
        m_sensor_bias_run_out.send(m_bias_in.get());
    }
    std::unique_lock<std::mutex> lock(m_fpga.mutex());
    thermal::FpgaSpi& spi = m_fpga.spi();
    if (m_hist_ctrl_in.is_triggered()) {
        spi.fpga_write_reg(kHistogramControlRegister,
                           uint32_t(m_hist_ctrl_in.get().control) << 16 |
                               (uint32_t(m_hist_ctrl_in.get().value) & 0xFFFF));
    }
    if (m_register_state_in.is_triggered()) {
        if (m_register_state_in.get().value) {
            m_savedRegisters.save(spi);
        } else if (!m_savedRegisters.restore(spi)) {
            Pictor::ilog(Pictor::LogLevel::Warning, "No saved FPGA registers to restore");
        }
    }
    const auto capture = [&](int mode) {
        thermal::writeCaptureMode(spi, mode);
        if (mode == 1 && !m_curve.optimized && m_lastIntegrationTime > 0) {
            thermal::writeIntegrationTime(*this, uint32_t(m_lastIntegrationTime));
        }
    };
    if (m_capture_mode_in.is_triggered()) {
        capture(m_capture_mode_in.get().mode);
    }
    if (m_capture_raw_in.is_triggered()) {
        capture(1);
    }
    if (m_capture_nuc_in.is_triggered()) {
        capture(2);
    }
    if (m_shutter_in.is_triggered()) {
        thermal::writeShutterRequest(spi, thermal::kShutterRegister, m_shutter_in.get().value);
    }
    if (m_zoom_in.is_triggered() && m_zoom && m_gainTablesLoaded) {
        thermal::writeZoomBlend(spi, m_fpga.layout(), m_zoom_in.get().value);
    }
    if (m_test_pattern_in.is_triggered()) {
        thermal::writeTestPattern(spi, m_test_pattern_in.get().value);
    }
    lock.unlock();
    m_window.applyTo(m_fpga, get_width(), get_height());
    if (m_eeprom_read_in.is_triggered()) {
        if (const std::optional<std::string> record = m_fpga.readEeprom(m_eeprom_read_in.get())) {
            m_eeprom_out.send({*record});
        }
    }
}

UlisPico384PSensorBlock::UlisPico384PSensorBlock(const std::string& name,
                                                 const Pictor::BlockConfiguration& configuration)
    : UlisSensorBlock(name, configuration, kPico384,
                      thermal::fpaFilterState("PICO384P", thermal::kFpgaDevice)) {}

UlisPico640Gen2SensorBlock::UlisPico640Gen2SensorBlock(
    const std::string& name, const Pictor::BlockConfiguration& configuration)
    : UlisSensorBlock(name, configuration, kPico640,
                      thermal::fpaFilterState("PICO640", thermal::kFpgaDevice)) {}

UlisPico640Gen2HearthSensorBlock::UlisPico640Gen2HearthSensorBlock(
    const std::string& name, const Pictor::BlockConfiguration& configuration)
    : UlisSensorBlock(name, configuration, kPico640Hearth,
                      thermal::fpaFilterState("PICO640G2", thermal::kFpgaDevice)) {}
