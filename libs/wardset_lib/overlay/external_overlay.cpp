#include "overlay/external_overlay.h"

#include <glib.h>
#include <syslog.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

// Positions are -1 … 1; the overlay service prints them rounded.
constexpr double kPositionTolerance = 1e-5;
// Scalable overlays are laid out for 1080 rows (1920 when turned sideways).
constexpr int kScaledReferenceHeight = 1080;
constexpr int kScaledReferenceHeightSideways = 1920;

bool isTopPosition(const std::string& position) {
    return position == "topleft" || position == "topright" || position == "top";
}

bool isBottomPosition(const std::string& position) {
    return position == "bottomleft" || position == "bottomright" || position == "bottom";
}

// Custom positions are "X,Y", or "XxY" when the text holds an "x".
char positionSeparator(const std::string& position) {
    return position.find('x') != std::string::npos ? 'x' : ',';
}

bool hasOneSeparator(const std::string& position) {
    const auto isSeparator = [](char c) { return c == ',' || c == 'x'; };
    return std::count_if(position.begin(), position.end(), isSeparator) == 1;
}

// A whole text as a number, independent of the locale.
template <typename Number>
bool parseNumber(const std::string& text, Number& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double parsed = g_ascii_strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(parsed) ||
        parsed < std::numeric_limits<Number>::lowest() ||
        parsed > std::numeric_limits<Number>::max()) {
        return false;
    }
    value = static_cast<Number>(parsed);
    return static_cast<double>(value) == parsed;  // an int must be whole
}

// The two numbers around the only separator of the text.
template <typename Number>
bool parsePair(const std::string& text, char separator, Number& first, Number& second) {
    const auto at = text.find(separator);
    return at != std::string::npos && text.find(separator, at + 1) == std::string::npos &&
           parseNumber(text.substr(0, at), first) && parseNumber(text.substr(at + 1), second);
}

// The height of a size W "x" H.
int parseHeight(const std::string& size) {
    int width = 0;
    int height = 0;
    if (!parsePair(size, 'x', width, height) || width < 0 || height < 0) {
        throw std::runtime_error("Failed to parse height: " + size);
    }
    return height;
}

// The y of a custom position "X,Y" (or "XxY").
double parseVerticalPosition(const std::string& position) {
    double x = 0;
    double y = 0;
    const auto inRange = [](double value) { return std::fabs(value) <= 1.0 + kPositionTolerance; };
    if (!parsePair(position, positionSeparator(position), x, y) || !inRange(x) || !inRange(y)) {
        throw std::runtime_error("Failed to handle overlay property position string: " + position);
    }
    return y;
}

}  // namespace

ExternalOverlayType_e toExternalOverlayType(const std::string& overlayType) {
    if (overlayType == "textoverlay") {
        return EXTERNAL_OVERLAY_TEXT;
    }
    if (overlayType == "imageoverlay") {
        return EXTERNAL_OVERLAY_IMAGE;
    }
    return EXTERNAL_OVERLAY_OTHER;
}

ExternalOverlay::ExternalOverlay(int overlayId, bool scaled, ExternalOverlayType_e type)
    : m_overlayId(overlayId), m_scaled(scaled), m_type(type) {}

bool ExternalOverlay::setProperties(const OverlayProperties& properties) {
    try {
        const int height = properties.size ? parseHeight(*properties.size) : m_height;
        const std::string position = properties.position.value_or("");
        if (hasOneSeparator(position) || (position.empty() && m_customPosition)) {
            handleCustomProperties(height, position);
        } else {
            handleNonCustomProperties(height, position);
        }
        return true;
    } catch (const std::runtime_error& error) {
        syslog(LOG_WARNING, "Could not set properties for overlay %d: %s\n", m_overlayId,
               error.what());
        return false;
    }
}

void ExternalOverlay::handleNonCustomProperties(int height, const std::string& position) {
    Margins margins{0, 0};
    if (isTopPosition(position)) {
        margins.top = height;
    } else if (isBottomPosition(position)) {
        margins.bottom = height;
    } else if (!position.empty()) {
        throw std::runtime_error("Could not parse the position of the overlay: " + position);
    } else if (m_bottomMargin > 0) {  // no new position: the same side, the new height
        margins.bottom = height;
    } else if (m_topMargin > 0) {
        margins.top = height;
    }
    m_topMargin = margins.top;
    m_bottomMargin = margins.bottom;
    m_height = height;
    m_customPosition = false;
}

void ExternalOverlay::handleCustomProperties(int height, const std::string& position) {
    if (!position.empty()) {
        m_verticalPosition = static_cast<float>(parseVerticalPosition(position));
    }
    m_height = height;
    m_customPosition = true;
}

int ExternalOverlay::getTop(const StreamSettings& settings) const {
    return getMargins(settings).top;
}

int ExternalOverlay::getBottom(const StreamSettings& settings) const {
    return getMargins(settings).bottom;
}

ExternalOverlay::Margins ExternalOverlay::getMargins(const StreamSettings& settings) const {
    const bool placedByService =
        m_type == EXTERNAL_OVERLAY_TEXT || m_type == EXTERNAL_OVERLAY_IMAGE;
    if (!placedByService || (!m_customPosition && !m_scaled)) {
        return {m_topMargin, m_bottomMargin};
    }
    if (!m_customPosition) {
        const int rows = settings.getHeight();
        return {m_topMargin * rows / kScaledReferenceHeight,
                m_bottomMargin * rows / kScaledReferenceHeight};
    }
    const int streamHeight = settings.getRotationCorrectedHeight();
    const int height = getCustomPixelHeight(settings);
    const auto bottomEdge =
        static_cast<int>(height + (m_verticalPosition + 1.0) * 0.5 * streamHeight);
    if (streamHeight / 2 < bottomEdge - height / 2) {  // lies in the lower half
        return {0, streamHeight + height - bottomEdge};
    }
    return {bottomEdge, 0};
}

int ExternalOverlay::getCustomPixelHeight(const StreamSettings& settings) const {
    if (!m_scaled) {
        return m_height;
    }
    const int rotation = settings.getRotation();
    const int reference =
        rotation == 90 || rotation == 270 ? kScaledReferenceHeightSideways : kScaledReferenceHeight;
    return m_height * settings.getRotationCorrectedHeight() / reference;
}
