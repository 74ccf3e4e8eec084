#pragma once

#include "dac80504_model.h"
#include "device_simulation.h"
#include "fpga_model.h"
#include "pictor/sensor_bus.h"
#include "sensor_model.h"

#include <memory>
#include <string>

namespace thermalsim {

// Where a thermal module sits in the camera: the sensor interface (video
// channel) whose sensor bus reaches its sensor, the SPI nodes of its FPGA and
// of its video ADC, the IIO device number of its DAC and the GPIO line that
// resets its FPGA.
struct ModulePlacement {
    int channel = 0;
    std::string fpgaNode = "/dev/spidev2.1";
    std::string adcNode = "/dev/spidev2.2";
    int dacDevice = 0;
    std::string resetLine = "fpga_reset";
};

// A thermal camera module on the host: the sensor on its channel's sensor bus
// at address 36, the FPGA and the video ADC (ADS4142, or ADC3562) on their SPI
// nodes, and the DAC. The nodes and the DAC's files are laid under the
// CAMLET_ROOT in force when the module is built, so a test sets its root
// first; the calibration files are the test's or the runner's to write. The
// models are the test's to steer; they outlive the registrations.
class SimulatedModule {
  public:
    static constexpr int kSensorBusAddress = 36;

    struct Options {
        SensorModel::Options sensor;
        FpgaModel::Options fpga;  // its reset line is the placement's
        bool adc3562 = false;
        ModulePlacement placement;
    };

    explicit SimulatedModule(Options options);
    SimulatedModule(const SimulatedModule&) = delete;
    SimulatedModule& operator=(const SimulatedModule&) = delete;

    SensorModel& sensor() { return *m_sensor; }
    FpgaModel& fpga() { return *m_fpga; }
    const FpgaModel& fpga() const { return *m_fpga; }
    camlet::devices::SimulatedDevice& adc() { return *m_adc; }
    Dac80504Model& dac() { return m_dac; }
    const ModulePlacement& placement() const { return m_placement; }

  private:
    const ModulePlacement m_placement;
    std::shared_ptr<SensorModel> m_sensor;
    std::shared_ptr<FpgaModel> m_fpga;
    std::shared_ptr<camlet::devices::SimulatedDevice> m_adc;
    Dac80504Model m_dac;
    Pictor::SensorBusRegistration m_sensorBus;
    camlet::devices::DeviceRegistration m_fpgaNode;
    camlet::devices::DeviceRegistration m_adcNode;
};

}  // namespace thermalsim
