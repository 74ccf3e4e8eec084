#include "fpa_temperature.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

namespace thermal {

int32_t FpaConversion::toMilliCelsius(int64_t filtered) const {
    return int32_t(referenceMilliC + (filtered - r0) * k1 / k2);
}

double FpaConversion::toRaw(double milliCelsius) const {
    return double(r0) + (milliCelsius - double(referenceMilliC)) * double(k2) / double(k1);
}

std::atomic<int64_t>& fpaFilterState(const std::string& blockClass, const std::string& device) {
    static std::mutex mutex;
    // A node map: the values never move once made.
    static std::map<std::pair<std::string, std::string>, std::atomic<int64_t>> states;
    std::lock_guard<std::mutex> lock(mutex);
    return states.try_emplace(std::make_pair(blockClass, device), 0).first->second;
}

int64_t FpaFilter::filter(int64_t raw) {
    const int64_t previous = m_previous.load();
    // A sensor with a negative response has a negative jump; the threshold
    // is its size.
    const int64_t filtered = std::llabs(raw - previous) > std::llabs(m_conversion.jump)
                                 ? raw
                                 : (previous * 7 + raw) >> 3;
    m_previous.store(filtered);
    return filtered;
}

}  // namespace thermal
