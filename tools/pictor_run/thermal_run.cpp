#include "thermal_run.h"

#include "module_simulation.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace pictor_run {
namespace {

// FPGA registers the runner reads back from the simulated FPGA.
constexpr uint32_t kShutterRegister = 0x1E004;
constexpr uint32_t kGainModeRegister = 0x2020;
constexpr uint32_t kAgcGainRegister = 0x2030;
constexpr uint32_t kAgcOffsetRegister = 0x2034;
constexpr uint32_t kHistogramBoundsRegister = 0x2008;
// Low gain: the sensor's response in counts per kelvin shrinks by this.
constexpr double kLowGainResponse = 0.5;
// The AGC maps the image into 12 bits.
constexpr double kAgcOutputMax = 4095.0;
const char* const kModuleName = "sensor";
const char* const kWorkPackageName = "wpid";

template <typename T>
std::optional<T> last(const std::shared_ptr<Pictor::Tap<T>>& tap) {
    const std::vector<T> values = tap->values();
    if (values.empty()) {
        return std::nullopt;
    }
    return values.back();
}

bool contains(const std::vector<Pictor::Block*>& blocks, const std::string& name) {
    return std::any_of(blocks.begin(), blocks.end(),
                       [&](const Pictor::Block* block) { return block->get_name() == name; });
}

}  // namespace

ThermalRun::ThermalRun(const Pictor::Registry& registry, RunSettings settings)
    : m_settings(std::move(settings)), m_name(kModuleName) {
    if (m_settings.frameRate <= 0.0) {
        throw std::invalid_argument("the frame rate must be above 0");
    }
    Pictor::InitTools tools;
    m_pipeline = std::make_unique<Pictor::Pipeline>(tools);
    std::unique_ptr<Pictor::Block> module =
        registry.create(m_settings.module, m_name, m_settings.configuration, tools);
    const Pictor::BlockConfiguration& merged = module->get_configuration();
    const Pictor::BlockConfiguration fpga = merged.getSubtree("fpga_cfg");
    m_width = fpga.getInt("sensor_width", 0);
    m_height = fpga.getInt("sensor_height", 0);
    if (m_width <= 0 || m_height <= 0) {
        throw std::invalid_argument(m_settings.module +
                                    " names no sensor size; not a camera module");
    }
    std::vector<Pictor::Block*> inner;
    module->collect_blocks(inner);
    m_hasGainMode = contains(inner, m_name + "_supergain");
    const bool ownWorkPackages = contains(inner, m_name + "_superwpid");

    m_camera = simulateModule(merged, m_settings.frameRate, placementOf(merged));

    m_pipeline->add_block(std::move(module));
    if (!ownWorkPackages) {
        m_pipeline->add_block(registry.create("SensorWpId", kWorkPackageName, {}, tools));
        m_pipeline->connect(kWorkPackageName, "sensor_workpackage_id_store", m_name,
                            "workpackage_id_store");
        m_pipeline->connect(kWorkPackageName, "sensor_workpackage_id_retrieve", m_name,
                            "workpackage_id_retrieve");
    }
    if (m_settings.dbus) {
        m_pipeline->add_block(registry.create("ThermalSensorDbus", "thermal", {}, tools));
        m_pipeline->connect(m_name, "sensor_max_fps_out", "thermal", "max_fps_in");
        m_pipeline->connect(m_name, "video_type_out", "thermal", "video_type_in");
        m_pipeline->connect(m_name, "fpa_temperature_out", "thermal", "sensor_temperature_in");
        m_pipeline->connect(m_name, "camera_temperature_out", "thermal", "camera_temperature_in");
    }
    m_fpa = m_pipeline->tap<Pictor::datatype_int32>(m_name, "fpa_temperature_out");
    m_camera_temperature =
        m_pipeline->tap<Pictor::datatype_int32>(m_name, "camera_temperature_out");
    m_video_type = m_pipeline->tap<Pictor::datatype_string>(m_name, "video_type_string_out");
    m_max_fps = m_pipeline->tap<Pictor::float_value>(m_name, "sensor_max_fps_out");
    if (m_hasGainMode) {
        m_gain_mode = m_pipeline->tap<Pictor::datatype_int32>(m_name, "gain_mode_out");
    }
    m_camera->sensor().pinFpaTemperature(ambientAt(0));
    m_pipeline->start(Pictor::Pipeline::Dispatch::Manual);
    m_pipeline->run_until_idle();
    m_writesSeen = m_camera->fpga().registerWrites().size();
}

ThermalRun::~ThermalRun() {
    // The blocks go before the simulated devices they use.
    m_pipeline.reset();
}

double ThermalRun::ambientAt(int frame) const {
    const int last = std::max(m_settings.frames - 1, 1);
    const double share = std::min(double(frame) / last, 1.0);
    return m_settings.ambientC + (m_settings.ambientEndC - m_settings.ambientC) * share;
}

bool ThermalRun::hotSpotAt(int frame) const {
    switch (m_settings.scene) {
        case Scene::Gradient:
            return false;
        case Scene::HotSpot:
            return true;
        case Scene::HotSpotPass:
            return frame >= m_settings.frames / 3 && frame < 2 * m_settings.frames / 3;
    }
    return true;
}

FrameValues ThermalRun::step() {
    thermalsim::SensorModel& sensor = m_camera->sensor();
    thermalsim::FpgaModel& fpga = m_camera->fpga();
    FrameValues values;
    values.frame = m_frame;
    values.seconds = m_frame / m_settings.frameRate;
    values.ambientC = ambientAt(m_frame);
    sensor.pinFpaTemperature(values.ambientC);
    sensor.setHotSpot(hotSpotAt(m_frame));
    sensor.setGain(fpga.registerValue(kGainModeRegister) == 1 ? kLowGainResponse : 1.0);
    fpga.advanceFrame();

    if (m_pipeline->find_block(kWorkPackageName) != nullptr) {
        m_pipeline->push(kWorkPackageName, "trigger_in", Pictor::datatype_bool{true});
    }
    const float exposure = float(1.0 / m_settings.frameRate);
    m_pipeline->push(m_name, "sensor_exposure_in",
                     Pictor::sensor_exposure_array{{Pictor::sensor_exposure{exposure, 1.0f}}});
    m_pipeline->run_until_idle();

    if (auto fpa = last(m_fpa)) {
        values.fpaMilliC = fpa->value;
    }
    if (auto camera = last(m_camera_temperature)) {
        values.cameraMilliC = camera->value;
    }
    values.integrationTime = sensor.latchedIntegrationTime();
    countShutterRequests(values);
    if (m_gain_mode) {
        if (auto mode = last(m_gain_mode)) {
            values.gainMode = mode->value;
        }
    }
    values.gain = fpga.registerValue(kAgcGainRegister) / 65536.0;
    values.offset = int32_t(fpga.registerValue(kAgcOffsetRegister));
    const uint32_t bounds = fpga.registerValue(kHistogramBoundsRegister);
    values.histogramLow = int32_t(bounds & 0xFFFF);
    values.histogramHigh = int32_t(bounds >> 16);
    if (auto type = last(m_video_type)) {
        values.videoType = type->value;
    }
    if (auto fps = last(m_max_fps)) {
        values.maxFps = fps->value;
    }
    ++m_frame;
    m_last = values;
    return values;
}

void ThermalRun::countShutterRequests(FrameValues& values) {
    const std::vector<std::pair<uint32_t, uint32_t>> writes = m_camera->fpga().registerWrites();
    values.shutterRequests = m_last.shutterRequests;
    values.lastShutterRequest = m_last.lastShutterRequest;
    for (size_t i = m_writesSeen; i < writes.size(); ++i) {
        if ((writes[i].first & 0x7FFFFFFF) == kShutterRegister) {
            ++values.shutterRequests;
            values.lastShutterRequest = int32_t(writes[i].second);
        }
    }
    m_writesSeen = writes.size();
}

std::vector<uint8_t> ThermalRun::displayImage() const {
    const std::vector<uint16_t> frame = m_camera->fpga().frame();
    double gain = m_last.gain / kAgcOutputMax * 255.0;
    double offset = m_last.offset / kAgcOutputMax * 255.0;
    if (m_last.gain <= 0.0) {
        const double span = std::max(m_last.histogramHigh - m_last.histogramLow, 1);
        gain = 255.0 / span;
        offset = -m_last.histogramLow * gain;
    }
    std::vector<uint8_t> image(frame.size());
    std::transform(frame.begin(), frame.end(), image.begin(), [&](uint16_t raw) {
        return uint8_t(std::clamp(std::lround(raw * gain + offset), 0L, 255L));
    });
    return image;
}

}  // namespace pictor_run
