#include "module_simulation.h"

#include "calibration_files.h"
#include "temperature_constants.h"

#include <utility>

namespace pictor_run {
namespace {

// Where the FPGA reads the FPA temperature: its own converter, or the video
// ADC's first channel.
constexpr uint32_t kFpaRawRegister = 0x4004;
constexpr uint32_t kAdcChannel0Register = 0x14000;

// How the simulated FPGA's raw temperature follows the FPA temperature, so that
// the FPGA block converts it back to the FPA temperature.
void attachFpaTemperature(thermalsim::FpgaModel& fpga, const Pictor::BlockConfiguration& config) {
    const thermal::FpaConversion conversion = thermal::deriveFpaConversion(config);
    const bool viaAdc = config.getBool("fpa_temp_adc_select", false);
    fpga.setRawTemperature(
        viaAdc ? kAdcChannel0Register : kFpaRawRegister,
        {double(conversion.referenceMilliC), double(conversion.r0), double(conversion.k1),
         double(conversion.k2), viaAdc ? 0xFFFFu : 0xFFFFFFFFu, 2});
}

}  // namespace

thermalsim::ModulePlacement placementOf(const Pictor::BlockConfiguration& module) {
    thermalsim::ModulePlacement placement;
    placement.channel = module.getInt("channel", 0);
    placement.fpgaNode = "/dev/spidev" + module.getString("fpga_cfg.device", "2.1");
    return placement;
}

std::unique_ptr<thermalsim::SimulatedModule> simulateModule(
    const Pictor::BlockConfiguration& module, double frameRate,
    thermalsim::ModulePlacement placement) {
    const Pictor::BlockConfiguration fpga = module.getSubtree("fpga_cfg");
    thermalsim::SimulatedModule::Options options;
    options.sensor.width = fpga.getInt("sensor_width");
    options.sensor.height = fpga.getInt("sensor_height");
    options.fpga.frameRate = frameRate;
    options.adc3562 = module.getString("super_cfg.adc_block", "none") == "adc3562";
    options.placement = std::move(placement);

    thermalsim::CalibrationSet calibration;
    calibration.channel = options.placement.channel;
    calibration.width = options.sensor.width;
    calibration.height = options.sensor.height;
    calibration.write();

    auto simulation = std::make_unique<thermalsim::SimulatedModule>(std::move(options));
    attachFpaTemperature(simulation->fpga(), fpga);
    return simulation;
}

}  // namespace pictor_run
