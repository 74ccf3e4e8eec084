#pragma once

#include "calibration.h"
#include "pictor/sensor_block.h"

#include <cstdint>
#include <string>

namespace thermal {

// How a member derives its two bias voltages from the sensor's trim fields:
// A = aBase + (trim_a & 0x3FF) × aStep, B = bBase + trim_b × bStep. Trims
// that were never programmed read 0 or all ones; they get 575 and 187 and
// the voltages of those values.
struct TrimFormula {
    double aBase;
    double aStep;
    double bBase;
    double bStep;
};
extern const TrimFormula kTrims384;
extern const TrimFormula kTrims640;

// The voltages from the trims, then from the bias file where it holds them.
BiasVoltages sensorBias(SensorBlock& sensor, const TrimFormula& trims, int channel);

// Programs the read-out: mode, controls, window, the current mode's timing,
// the integration time and the enables with a latch pulse. `settleMicros`
// is waited between the first writes (sensors that need it).
void programSensorFields(SensorBlock& sensor, uint32_t integrationTime, int settleMicros);

// Writes an integration time, pulses the latch and reads it back; false on a
// mismatch.
bool writeIntegrationTime(SensorBlock& sensor, uint32_t integrationTime);

// The serial number from the sensor's serial fields ("%04d%02d%03d"); throws
// std::runtime_error when they cannot be read.
std::string readSerialNumber(const SensorBlock& sensor);

}  // namespace thermal
