#include "simulated_camera.h"

namespace pictor_run {
namespace {

thermalsim::SensorModel::Options sensorOptions(int width, int height) {
    thermalsim::SensorModel::Options options;
    options.width = width;
    options.height = height;
    return options;
}

std::shared_ptr<camlet::devices::SimulatedDevice> videoAdc(bool adc3562) {
    if (adc3562) {
        return std::make_shared<thermalsim::Adc3562Model>();
    }
    return std::make_shared<thermalsim::Ads4142Model>();
}

}  // namespace

SimulatedCamera::SimulatedCamera(int width, int height, double frameRate, bool adc3562)
    : m_sensor(std::make_shared<thermalsim::SensorModel>(sensorOptions(width, height))),
      m_fpga(std::make_shared<thermalsim::FpgaModel>(
          thermalsim::FpgaModel::Options{std::chrono::milliseconds(20), true, frameRate, {}},
          m_sensor)),
      m_adc(videoAdc(adc3562)),
      m_sensorBus(0, 36, m_sensor),
      m_fpgaNode("/dev/spidev2.1", m_fpga),
      m_adcNode("/dev/spidev2.2", m_adc) {
    thermalsim::CalibrationSet calibration;
    calibration.width = width;
    calibration.height = height;
    calibration.write();
}

}  // namespace pictor_run
