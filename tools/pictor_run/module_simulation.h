#pragma once

#include <memory>

#include "pictor/block_configuration.h"
#include "simulated_module.h"

namespace pictor_run {

// The place a camera module's configuration names: its "channel" and its
// FPGA's "fpga_cfg.device"; the video ADC, the DAC and the reset line as on a
// camera with one module.
thermalsim::ModulePlacement placementOf(const Pictor::BlockConfiguration& module);

// The simulated thermal module that a camera module built from the plug-in
// expects, from the module's merged configuration: sensor and FPGA of its
// sensor size at `placement`, the video ADC it names, the FPGA's raw FPA
// temperature following the sensor as the module's FPGA block converts it
// back, and the calibration files of the placement's channel, written under
// the camera root in force.
std::unique_ptr<thermalsim::SimulatedModule> simulateModule(
    const Pictor::BlockConfiguration& module, double frameRate,
    thermalsim::ModulePlacement placement);

}  // namespace pictor_run
