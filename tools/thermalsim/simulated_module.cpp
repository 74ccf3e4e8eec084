#include "simulated_module.h"

#include "adc3562_model.h"
#include "ads4142_model.h"

#include <utility>

namespace thermalsim {
namespace {

std::shared_ptr<camlet::devices::SimulatedDevice> videoAdc(bool adc3562) {
    if (adc3562) {
        return std::make_shared<Adc3562Model>();
    }
    return std::make_shared<Ads4142Model>();
}

FpgaModel::Options withResetLine(FpgaModel::Options options, const ModulePlacement& placement) {
    options.resetLine = placement.resetLine;
    return options;
}

}  // namespace

SimulatedModule::SimulatedModule(Options options)
    : m_placement(std::move(options.placement)),
      m_sensor(std::make_shared<SensorModel>(options.sensor)),
      m_fpga(std::make_shared<FpgaModel>(withResetLine(options.fpga, m_placement), m_sensor)),
      m_adc(videoAdc(options.adc3562)),
      m_dac(m_placement.dacDevice),
      m_sensorBus(m_placement.channel, kSensorBusAddress, m_sensor),
      m_fpgaNode(m_placement.fpgaNode, m_fpga),
      m_adcNode(m_placement.adcNode, m_adc) {}

}  // namespace thermalsim
