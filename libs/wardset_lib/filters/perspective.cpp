#include "filters/perspective.h"

#include <algorithm>

Perspective::Perspective(const std::vector<PerspectiveBar>& bars) {
    if (bars.empty()) {
        return;
    }
    const float count = static_cast<float>(bars.size());
    float sumX = 0.0f;
    float sumY = 0.0f;
    for (const PerspectiveBar& bar : bars) {
        sumX += static_cast<float>(bar.getFirst());
        sumY += bar.getScale();
    }
    const float meanX = sumX / count;
    const float meanY = sumY / count;
    float sxx = 0.0f;
    float sxy = 0.0f;
    for (const PerspectiveBar& bar : bars) {
        const float dx = static_cast<float>(bar.getFirst()) - meanX;
        sxx += dx * dx;
        sxy += (bar.getScale() - meanY) * dx;
    }
    m_slope = sxx > 0.0f ? sxy / sxx : 0.0f;
    m_intercept = meanY - m_slope * meanX;
}

int Perspective::calculateRealWorldSize(int position, int size) const {
    const float scale = m_intercept + static_cast<float>(position) * m_slope;
    if (!(scale > 0.0f)) {
        return 0;
    }
    // The largest float below 2^31: converting anything beyond the int range
    // would be undefined.
    constexpr float kLimit = 2147483520.0f;
    return static_cast<int>(std::clamp(static_cast<float>(size) / scale + 0.5f, -kLimit, kLimit));
}
