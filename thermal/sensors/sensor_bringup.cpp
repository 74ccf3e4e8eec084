#include "sensor_bringup.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace thermal {
namespace {

constexpr uint32_t kTrimAUnprogrammed = 575;
constexpr uint32_t kTrimBUnprogrammed = 187;
constexpr double kVoltsAUnprogrammed = 1.62794;
constexpr double kVoltsBUnprogrammed = 2.82467;
constexpr uint32_t kDefaultMode = 29;

void settle(int micros) {
    if (micros > 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(micros));
    }
}

}  // namespace

const TrimFormula kTrims384 = {0.416, 0.00254, 0.777, 0.01025};
const TrimFormula kTrims640 = {0.9728, 0.00256, 0.7824, 0.01027};

BiasVoltages sensorBias(SensorBlock& sensor, const TrimFormula& trims, int channel) {
    BiasVoltages bias;
    const uint32_t trimA = sensor.read_sensor_field("trim_a");
    if (trimA == 0 || trimA == 65535) {
        sensor.write_sensor_field("trim_a", kTrimAUnprogrammed);
        bias.a = float(kVoltsAUnprogrammed);
    } else {
        bias.a = float(trims.aBase + (trimA & 0x3FF) * trims.aStep);
    }
    const uint32_t trimB = sensor.read_sensor_field("trim_b");
    if (trimB == 0 || trimB == 255) {
        sensor.write_sensor_field("trim_b", kTrimBUnprogrammed);
        bias.b = float(kVoltsBUnprogrammed);
    } else {
        bias.b = float(trims.bBase + trimB * trims.bStep);
    }
    if (const std::optional<BiasVoltages> file = loadBiasFile(channel)) {
        bias = *file;
    }
    return bias;
}

void programSensorFields(SensorBlock& sensor, uint32_t integrationTime, int settleMicros) {
    if (sensor.read_sensor_field("mode") == 0) {
        sensor.write_sensor_field("mode", kDefaultMode);
        settle(settleMicros);
    }
    for (const char* control : {"ctrl0", "ctrl1", "ctrl2", "ctrl3", "ctrl4"}) {
        sensor.write_sensor_field(control, 0);
        settle(settleMicros);
    }
    sensor.write_sensor_field("window_width", uint32_t(sensor.get_width() - 1));
    sensor.write_sensor_field("window_height", uint32_t(sensor.get_height() - 1));
    const SensorBlock::SensorMode& mode = sensor.get_current_sensor_mode();
    sensor.write_sensor_field("line_timing", mode.line_timing);
    sensor.write_sensor_field("frame_timing", mode.frame_timing);
    sensor.write_sensor_field("integration_time", integrationTime);
    sensor.write_sensor_field("enable_a", 1);
    sensor.write_sensor_field("enable_b", 1);
    sensor.write_sensor_field("update", 1);
    sensor.write_sensor_field("update", 0);
}

bool writeIntegrationTime(SensorBlock& sensor, uint32_t integrationTime) {
    sensor.write_sensor_field("integration_time", integrationTime);
    sensor.write_sensor_field("update", 1);
    sensor.write_sensor_field("update", 0);
    return sensor.read_sensor_field("integration_time") == integrationTime;
}

std::string readSerialNumber(const SensorBlock& sensor) {
    char serial[32];
    std::snprintf(serial, sizeof serial, "%04u%02u%03u",
                  unsigned(sensor.read_sensor_field("serial_lot")),
                  unsigned(sensor.read_sensor_field("serial_wafer")),
                  unsigned(sensor.read_sensor_field("serial_die")));
    return serial;
}

}  // namespace thermal
