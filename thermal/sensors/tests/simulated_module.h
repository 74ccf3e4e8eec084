#pragma once

#include "adc3562_model.h"
#include "ads4142_model.h"
#include "calibration_files.h"
#include "dac80504_model.h"
#include "device_simulation.h"
#include "fpga_model.h"
#include "log_capture.h"
#include "pictor/sensor_bus.h"
#include "sensor_model.h"
#include "temporary_root.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace thermal::testing {

// A thermal camera module on the host: the sensor on bus address 36, the FPGA
// on /dev/spidev2.1, the video ADC on /dev/spidev2.2 and the DAC, under a
// temporary camera root with its calibration files.
struct SimulatedModule {
    explicit SimulatedModule(thermalsim::SensorModel::Options sensorOptions = {},
                             thermalsim::FpgaModel::Options fpgaOptions = {}, bool adc3562 = false)
        : sensor(std::make_shared<thermalsim::SensorModel>(sensorOptions)),
          fpga(std::make_shared<thermalsim::FpgaModel>(fpgaOptions, sensor)),
          adc(adc3562 ? std::shared_ptr<camlet::devices::SimulatedDevice>(
                            std::make_shared<thermalsim::Adc3562Model>())
                      : std::make_shared<thermalsim::Ads4142Model>()),
          sensorBus(0, 36, sensor),
          fpgaNode("/dev/spidev2.1", fpga),
          adcNode("/dev/spidev2.2", adc) {
        calibration.width = sensorOptions.width;
        calibration.height = sensorOptions.height;
    }

    bool logged(const std::string& line) const {
        const std::vector<std::string> messages = log.messages();
        return std::find(messages.begin(), messages.end(), line) != messages.end();
    }
    uint32_t lastWrite(uint32_t address) const {
        for (const auto& [written, value] : reversedWrites()) {
            if (written == address) {
                return value;
            }
        }
        return 0xDEADBEEF;
    }
    std::vector<std::pair<uint32_t, uint32_t>> reversedWrites() const {
        std::vector<std::pair<uint32_t, uint32_t>> writes = fpga->registerWrites();
        std::reverse(writes.begin(), writes.end());
        return writes;
    }

    camlet::testing::TemporaryRoot root;
    Pictor::testing::LogCapture log;
    std::shared_ptr<thermalsim::SensorModel> sensor;
    std::shared_ptr<thermalsim::FpgaModel> fpga;
    std::shared_ptr<camlet::devices::SimulatedDevice> adc;
    thermalsim::Dac80504Model dac;
    thermalsim::CalibrationSet calibration;
    Pictor::SensorBusRegistration sensorBus;
    camlet::devices::DeviceRegistration fpgaNode;
    camlet::devices::DeviceRegistration adcNode;
};

}  // namespace thermal::testing
