#include "tracking/invariant_box.h"

#include <syslog.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// int(value), saturating where a zero aspect ratio would make the conversion undefined.
int32_t truncatedToInt(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp<double>(std::trunc(value),
                                                   std::numeric_limits<int32_t>::min(),
                                                   std::numeric_limits<int32_t>::max()));
}

}  // namespace

InvariantBox::InvariantBox(int32_t width, int32_t height, int32_t rotation, float aspectRatio)
    : m_width(width), m_height(height), m_rotation(rotation), m_aspectRatio(aspectRatio) {
    if (rotation != 0 && rotation != 90 && rotation != 180 && rotation != 270) {
        syslog(LOG_WARNING, "Unexpected camera rotation %d\n", rotation);
    }
}

bool InvariantBox::isSideways() const {
    return m_rotation != 0 && m_rotation != 180;
}

int32_t InvariantBox::getWidth() const {
    return isSideways() ? m_height : m_width;
}

int32_t InvariantBox::getHeight() const {
    return isSideways() ? m_width : m_height;
}

int32_t InvariantBox::getAspectCorrectedWidth() const {
    if (isSideways()) {
        return truncatedToInt(static_cast<float>(m_height) / m_aspectRatio + 0.5f);
    }
    return truncatedToInt(static_cast<float>(m_width) * m_aspectRatio + 0.5f);
}

int32_t InvariantBox::getAspectCorrectedHeight() const {
    return getHeight();
}

int32_t InvariantBox::getFootPositionValue(Point centre) const {
    switch (m_rotation) {
        case 90:
            return centre.x + m_width / 2;
        case 180:
            return centre.y + m_height / 2;
        case 270:
            return centre.x - m_width / 2;
        default:
            return centre.y - m_height / 2;
    }
}

Rectangle InvariantBox::getFootRectangle(Point centre) const {
    const int32_t cx = centre.x;
    const int32_t cy = centre.y;
    const int32_t w = m_width;
    const int32_t h = m_height;
    switch (m_rotation) {
        case 90:
            return {cx + w / 4, cx + w / 2, cy - h / 2, cy + h / 2};
        case 180:
            return {cx - w / 2, cx + w / 2, cy + h / 4, cy + h / 2};
        case 270:
            return {cx - w / 2, cx - w / 4, cy - h / 2, cy + h / 2};
        default:
            return {cx - w / 2, cx + w / 2, cy - h / 2, cy - h / 4};
    }
}

std::unique_ptr<Polygon> InvariantBox::getFootBox(Point centre) const {
    return std::make_unique<Polygon>(getFootRectangle(centre).toPolygon());
}

Point InvariantBox::getViewedLowerLeft(Point centre) const {
    const int32_t halfWidth = m_width / 2;
    const int32_t halfHeight = m_height / 2;
    switch (m_rotation) {
        case 90:
            return {toCoordinate(centre.x + halfWidth), toCoordinate(centre.y - halfHeight)};
        case 180:
            return {toCoordinate(centre.x + halfWidth), toCoordinate(centre.y + halfHeight)};
        case 270:
            return {toCoordinate(centre.x - halfWidth), toCoordinate(centre.y + halfHeight)};
        default:
            return {toCoordinate(centre.x - halfWidth), toCoordinate(centre.y - halfHeight)};
    }
}

void InvariantBox::update(int32_t width, int32_t height) {
    m_width = width;
    m_height = height;
}

void InvariantBox::merge(const InvariantBox& other) {
    if (m_aspectRatio != other.m_aspectRatio || m_rotation != other.m_rotation) {
        syslog(LOG_WARNING,
               "Cannot merge two Invariant boxes with different aspect ratio or image rotation,"
               "box 1: aspect ratio = %f image rotation = %i - box 2: aspect ratio = %f image "
               "rotation = %i\n",
               static_cast<double>(m_aspectRatio), m_rotation,
               static_cast<double>(other.m_aspectRatio), other.m_rotation);
        return;
    }
    m_width = std::max(m_width, other.m_width);
    m_height = std::max(m_height, other.m_height);
}
