#include "fpa_temperature.h"

#include <cstdlib>

namespace thermal {

int32_t FpaConversion::toMilliCelsius(int64_t filtered) const {
    return int32_t(referenceMilliC + (filtered - r0) * k1 / k2);
}

double FpaConversion::toRaw(double milliCelsius) const {
    return double(r0) + (milliCelsius - double(referenceMilliC)) * double(k2) / double(k1);
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
