#include "temperature_constants.h"

#include "pictor/log.h"

#include <algorithm>

namespace thermal {

FpaConversion deriveFpaConversion(const Pictor::BlockConfiguration& configuration) {
    const int height = configuration.getInt("sensor_height");
    const float response = configuration.getFloat("temp_sensor_response");
    const float referenceC = configuration.getFloat("temp_sensor_offset_ref_C", 30.0f);
    const float voltsAtReference = configuration.getFloat("temp_sensor_V_30C");
    const int samples = configuration.getInt("fpa_temp_samples", height);
    const float highRef = configuration.getFloat("adc_high_ref", 2.9f);
    const float lowRef = configuration.getFloat("adc_low_ref", 0.5f);
    const int highOutput = configuration.getInt("adc_high_output", 16383);
    const int lowOutput = configuration.getInt("adc_low_output", 0);
    const float gain = configuration.getFloat("pre_adc_gain", 1.0f);
    const float offset = configuration.getFloat("pre_adc_offset", 0.0f);

    const float spanVolts = highRef - lowRef;
    const float spanOut = float(highOutput - lowOutput);
    const float n = float(samples);
    FpaConversion conversion{};
    conversion.k1 = int64_t(spanVolts * 1000.0f / (gain * response));
    conversion.k2 = int64_t(samples) * int64_t(highOutput - lowOutput);
    conversion.r0 = int64_t((offset + gain * voltsAtReference - lowRef) * n * spanOut / spanVolts);
    conversion.jump = int64_t(2.0f * gain * response * spanOut * n / spanVolts);
    conversion.referenceMilliC = int64_t(referenceC * 1000.0f);
    return conversion;
}

CameraTemperatureMap::CameraTemperatureMap(std::vector<int> counts, std::vector<int> celsius)
    : m_counts(std::move(counts)), m_celsius(std::move(celsius)) {
    if (m_counts.size() != m_celsius.size()) {
        Pictor::ilog(Pictor::LogLevel::Error,
                     "cam_temp_map_dl and cam_temp_map_C size mismatch. Camera temperature "
                     "disabled.");
    } else if (m_counts.size() < 2 || !std::is_sorted(m_counts.begin(), m_counts.end())) {
        Pictor::ilog(Pictor::LogLevel::Error,
                     "cam_temp_map_dl needs two or more ascending points. Camera temperature "
                     "disabled.");
    } else {
        m_usable = true;
    }
}

int32_t CameraTemperatureMap::milliCelsius(int raw) const {
    if (!m_usable) {
        return kNoTemperature;
    }
    raw = std::clamp(raw, m_counts.front(), m_counts.back());
    const auto above = std::upper_bound(m_counts.begin(), m_counts.end(), raw);
    if (above == m_counts.end()) {
        // At the top of the table: its last temperature.
        return int32_t(m_celsius.back() * 1000);
    }
    const size_t i = size_t(above - m_counts.begin()) - 1;
    const double fraction = double(raw - m_counts[i]) / double(m_counts[i + 1] - m_counts[i]);
    return int32_t((m_celsius[i] + (m_celsius[i + 1] - m_celsius[i]) * fraction) * 1000.0);
}

}  // namespace thermal
