#pragma once

#include <memory>
#include <string>

#include "corbel/api_registry.h"
#include "corbel/enum_type.h"
#include "corbel/interface.h"
#include "pictor/block.h"

// "ThermalSensorDbus": publishes the sensor's state as the D-Bus interface
// "com.zelk.ThermalSensor" at "/com/zelk/ThermalSensor/" + the block's name:
// "MaxFps" (double, from "max_fps_in"), "VideoType" (enum VideoType, from
// "video_type_in"), "SensorTemperature" and "CameraTemperature" (m°C, from
// "sensor_temperature_in" and "camera_temperature_in"), and the signal
// "VideoTypeChanged" with each new video type. Each run is one property
// update: clients see one change notification per run. A value outside its
// property's ranges stops the run, and every property keeps its value.
class ThermalSensorDbusBlock : public Pictor::Block {
  public:
    static const char* const kInterface;
    // "OnePoint" = 0, "TwoPoint" = 1, "Radiance" = 2.
    static const corbel::EnumType& video_type();

    // Throws corbel::InvalidValueError ("String is not a valid ObjectPath")
    // for a name that cannot be a path element, corbel::BusError when the bus
    // cannot be reached.
    ThermalSensorDbusBlock(const std::string& name,
                           const Pictor::BlockConfiguration& configuration);

    void process() override;

    const corbel::ObjectPath& path() const { return m_registration->path(); }

  private:
    Pictor::InPort<Pictor::float_value> m_max_fps_in;
    Pictor::InPort<Pictor::datatype_int32> m_video_type_in;
    Pictor::InPort<Pictor::datatype_int32> m_sensor_temperature_in;
    Pictor::InPort<Pictor::datatype_int32> m_camera_temperature_in;

    std::shared_ptr<corbel::Interface> m_interface;
    corbel::Property<double> m_max_fps;
    corbel::Property<int32_t> m_video_type;
    corbel::Property<int32_t> m_sensor_temperature;
    corbel::Property<int32_t> m_camera_temperature;
    corbel::Signal<int32_t> m_video_type_changed;
    std::unique_ptr<corbel::ObjectRegistration> m_registration;
};
