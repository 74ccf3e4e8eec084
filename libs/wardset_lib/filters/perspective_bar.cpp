#include "filters/perspective_bar.h"

#include <cstdlib>

PerspectiveBar::PerspectiveBar(int first, int second, int height)
    : m_first(first),
      m_second(second),
      m_height(height),
      m_scale(height > 0 ? static_cast<float>(std::abs(second - first)) / static_cast<float>(height)
                         : 0.0f) {}

bool PerspectiveBar::isAbove(const PerspectiveBar& other, int rotation) const {
    // Rotated by 90 or 180 degrees, higher in the view means lower coordinates.
    if (rotation == 90 || rotation == 180) {
        return m_first < other.m_first;
    }
    return m_first > other.m_first;
}
