#pragma once

#include <memory>

#include "adc3562_model.h"
#include "ads4142_model.h"
#include "calibration_files.h"
#include "dac80504_model.h"
#include "device_simulation.h"
#include "fpga_model.h"
#include "pictor/sensor_bus.h"
#include "sensor_model.h"
#include "temporary_root.h"

namespace pictor_run {

// A thermal camera module on the host for one run: the sensor on bus address
// 36, the FPGA on /dev/spidev2.1, the video ADC on /dev/spidev2.2 and the DAC,
// under a camera root of its own with the module's calibration files.
class SimulatedCamera {
  public:
    SimulatedCamera(int width, int height, double frameRate, bool adc3562);

    thermalsim::SensorModel& sensor() { return *m_sensor; }
    thermalsim::FpgaModel& fpga() { return *m_fpga; }

  private:
    camlet::testing::TemporaryRoot m_root;
    std::shared_ptr<thermalsim::SensorModel> m_sensor;
    std::shared_ptr<thermalsim::FpgaModel> m_fpga;
    std::shared_ptr<camlet::devices::SimulatedDevice> m_adc;
    thermalsim::Dac80504Model m_dac;
    Pictor::SensorBusRegistration m_sensorBus;
    camlet::devices::DeviceRegistration m_fpgaNode;
    camlet::devices::DeviceRegistration m_adcNode;
};

}  // namespace pictor_run
