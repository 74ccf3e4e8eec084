#include "sensor_model.h"

#include <algorithm>
#include <cmath>

namespace thermalsim {
namespace {

constexpr double kCountsPerKelvin = 60.0;
constexpr double kDarkLevel = 8192.0;
constexpr double kNominalIntegrationTime = 183.0;
constexpr double kSceneColdC = 15.0;
constexpr double kSceneHotC = 35.0;
constexpr double kHotSpotC = 600.0;
constexpr int kHotSpotPeriodFrames = 90;

}  // namespace

SensorModel::SensorModel(Options options)
    : m_width(options.width), m_height(options.height), m_options(options) {
    m_noiseState = options.seed == 0 ? 1 : options.seed;
    m_fixedPattern.resize(size_t(m_width) * size_t(m_height));
    for (int16_t& offset : m_fixedPattern) {
        offset = int16_t(int(nextNoise() % 129) - 64);
    }
    m_fields = {{"trim_a", options.trimA},
                {"trim_b", options.trimB},
                {"mode", 0},
                {"ctrl0", 0},
                {"ctrl1", 0},
                {"ctrl2", 0},
                {"ctrl3", 0},
                {"ctrl4", 0},
                {"window_width", 0},
                {"window_height", 0},
                {"line_timing", 0},
                {"frame_timing", 0},
                {"integration_time", 0},
                {"enable_a", 0},
                {"enable_b", 0},
                {"update", 0},
                {"icap", 0},
                {"serial_lot", options.serialLot},
                {"serial_wafer", options.serialWafer},
                {"serial_die", options.serialDie}};
}

std::optional<uint32_t> SensorModel::read_field(const std::string& field) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_fields.find(field);
    if (found == m_fields.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool SensorModel::write_field(const std::string& field, uint32_t value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_fields.find(field);
    if (found == m_fields.end()) {
        return false;
    }
    // The latch takes the integration time into use on the falling edge.
    if (field == "update" && found->second != 0 && value == 0) {
        m_latchedIntegrationTime = m_fields["integration_time"];
    }
    found->second = value;
    m_writes.emplace_back(field, value);
    return true;
}

uint32_t SensorModel::field(const std::string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_fields.find(name);
    return found == m_fields.end() ? 0 : found->second;
}

std::vector<std::pair<std::string, uint32_t>> SensorModel::writes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writes;
}

uint32_t SensorModel::latchedIntegrationTime() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_latchedIntegrationTime;
}

void SensorModel::pinFpaTemperature(double celsius) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pinnedC = celsius;
}

double SensorModel::fpaCelsius() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return fpaCelsiusLocked();
}

double SensorModel::fpaCelsiusLocked() const {
    if (m_pinnedC) {
        return *m_pinnedC;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - m_start).count();
    const double warmUp = m_options.warmUpC * (1.0 - std::exp(-seconds / m_options.warmUpSeconds));
    const double drift = m_options.driftC * std::sin(seconds / 300.0 * 2.0 * M_PI);
    return m_options.ambientC + warmUp + drift;
}

void SensorModel::setShutterClosed(bool closed) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_shutterClosed = closed;
}

void SensorModel::setGain(double gain) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_gain = gain;
}

void SensorModel::setHotSpot(bool shown) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hotSpot = shown;
}

uint32_t SensorModel::nextNoise() {
    // xorshift32: cheap enough for every pixel of every frame.
    uint32_t x = m_noiseState;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    m_noiseState = x;
    return x;
}

void SensorModel::render(std::vector<uint16_t>& frame) {
    std::lock_guard<std::mutex> lock(m_mutex);
    frame.resize(size_t(m_width) * size_t(m_height));
    const double fpa = fpaCelsiusLocked();
    const double integration =
        m_latchedIntegrationTime == 0 ? 1.0 : m_latchedIntegrationTime / kNominalIntegrationTime;
    const double perKelvin = kCountsPerKelvin * integration * m_gain;
    const double angle = 2.0 * M_PI * (m_frame % kHotSpotPeriodFrames) / kHotSpotPeriodFrames;
    const int spotX = int(m_width * (0.5 + 0.3 * std::cos(angle)));
    const int spotY = int(m_height * (0.5 + 0.3 * std::sin(angle)));
    const int spotRadius2 = (m_height / 6) * (m_height / 6);
    ++m_frame;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            double scene = fpa;
            if (!m_shutterClosed) {
                const int dx = x - spotX;
                const int dy = y - spotY;
                scene = m_hotSpot && dx * dx + dy * dy <= spotRadius2
                            ? kHotSpotC
                            : kSceneColdC + (kSceneHotC - kSceneColdC) * x / m_width;
            }
            const size_t i = size_t(y) * size_t(m_width) + size_t(x);
            const double temporal = double(nextNoise() % 17) - 8.0;
            const double value =
                kDarkLevel + perKelvin * (scene - fpa) + m_fixedPattern[i] + temporal;
            frame[i] = uint16_t(std::clamp(value, 0.0, 65535.0));
        }
    }
}

}  // namespace thermalsim
