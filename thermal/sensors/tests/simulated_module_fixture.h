#pragma once

#include "calibration_files.h"
#include "log_capture.h"
#include "simulated_module.h"
#include "temporary_root.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace thermal::testing {

// The temporary camera root, set before the module's devices are laid under
// it (a base, so that it is built first).
struct ModuleRoot {
    camlet::testing::TemporaryRoot root;
};

// A thermal camera module at its usual place (channel 0, /dev/spidev2.1 and
// /dev/spidev2.2) under a temporary camera root, with the log captured and
// the calibration files at hand (written when a test calls
// calibration.write()).
struct SimulatedModule : ModuleRoot, thermalsim::SimulatedModule {
    explicit SimulatedModule(thermalsim::SensorModel::Options sensorOptions = {},
                             thermalsim::FpgaModel::Options fpgaOptions = {}, bool adc3562 = false)
        : thermalsim::SimulatedModule({sensorOptions, std::move(fpgaOptions), adc3562, {}}) {
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
        std::vector<std::pair<uint32_t, uint32_t>> writes = fpga().registerWrites();
        std::reverse(writes.begin(), writes.end());
        return writes;
    }

    Pictor::testing::LogCapture log;
    thermalsim::CalibrationSet calibration;
};

}  // namespace thermal::testing
