#include "thermal_sensor_dbus.h"

#include <optional>

namespace {

// Frame rates and temperatures (m°C) a sensor can report.
constexpr corbel::Range<double> kMaxFpsRange{0.0, 1000.0};
constexpr corbel::Range<int32_t> kTemperatureRange{-273150, 1000000};
// What the FPGA blocks send for a temperature they cannot read (m°C).
constexpr int32_t kNoTemperature = -999000;

}  // namespace

const char* const ThermalSensorDbusBlock::kInterface = "com.zelk.ThermalSensor";

const corbel::EnumType& ThermalSensorDbusBlock::video_type() {
    static const corbel::EnumType type("ThermalSensor.VideoType",
                                       {{"OnePoint", 0}, {"TwoPoint", 1}, {"Radiance", 2}});
    return type;
}

ThermalSensorDbusBlock::ThermalSensorDbusBlock(const std::string& name,
                                               const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration),
      m_max_fps_in(add_inport<Pictor::float_value>("max_fps_in")),
      m_video_type_in(add_inport<Pictor::datatype_int32>("video_type_in")),
      m_sensor_temperature_in(add_inport<Pictor::datatype_int32>("sensor_temperature_in")),
      m_camera_temperature_in(add_inport<Pictor::datatype_int32>("camera_temperature_in")),
      m_interface(std::make_shared<corbel::Interface>(kInterface)),
      m_max_fps(m_interface->add_property<double>("MaxFps", 0.0, {kMaxFpsRange})),
      m_video_type(m_interface->add_property<int32_t>("VideoType", 0, video_type().ranges())),
      m_sensor_temperature(
          m_interface->add_property<int32_t>("SensorTemperature", 0, {kTemperatureRange})),
      m_camera_temperature(
          m_interface->add_property<int32_t>("CameraTemperature", 0, {kTemperatureRange})),
      m_video_type_changed(m_interface->add_signal<int32_t>("VideoTypeChanged")) {
    const corbel::ObjectPath path =
        corbel::CorbelHelper::global_helper().root() / "ThermalSensor" / name;
    m_registration = corbel::API_Registry::add_object(path, m_interface);
}

void ThermalSensorDbusBlock::process() {
    corbel::PropertyUpdate update = m_interface->begin_update();
    std::optional<int32_t> new_video_type;
    if (m_max_fps_in.is_triggered()) {
        update.set(m_max_fps, static_cast<double>(m_max_fps_in.get().value));
    }
    if (m_video_type_in.is_triggered()) {
        const int32_t type = m_video_type_in.get().value;
        update.set(m_video_type, type);
        if (type != m_interface->get(m_video_type)) {
            new_video_type = type;
        }
    }
    if (m_sensor_temperature_in.is_triggered()) {
        update.set(m_sensor_temperature, m_sensor_temperature_in.get().value);
    }
    // A module without a camera temperature reports "no temperature"; the
    // property keeps its value, and the other values of the run still go out.
    if (m_camera_temperature_in.is_triggered() &&
        m_camera_temperature_in.get().value != kNoTemperature) {
        update.set(m_camera_temperature, m_camera_temperature_in.get().value);
    }
    update.commit();
    // After the commit, so that a client reading the property on the signal
    // sees the new value.
    if (new_video_type) {
        m_interface->emit(m_video_type_changed, *new_video_type);
    }
}
