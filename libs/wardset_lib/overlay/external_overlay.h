#pragma once

#include <optional>
#include <string>

#include "overlay/stream_settings.h"

// The kind of another application's overlay, from its "OverlayType".
enum ExternalOverlayType_e : int {
    EXTERNAL_OVERLAY_OTHER = 0,
    EXTERNAL_OVERLAY_TEXT = 1,   // "textoverlay"
    EXTERNAL_OVERLAY_IMAGE = 2,  // "imageoverlay"
};

ExternalOverlayType_e toExternalOverlayType(const std::string& overlayType);

// A change of an overlay's placement as the overlay service announces it;
// absent texts did not change.
struct OverlayProperties {
    int overlayId = 0;
    std::optional<std::string> position;  // a named position, or "X,Y" in -1 … 1
    std::optional<std::string> size;      // W "x" H in pixels
};

// Another application's overlay on the streams the alarm overlay draws into:
// the band at the top or the bottom of the stream it covers, which the alarm
// overlay keeps clear of.
class ExternalOverlay {
  public:
    // Zero margins until properties are set.
    ExternalOverlay(int overlayId, bool scaled, ExternalOverlayType_e type);

    // Applies a size (its second number is the height) and a position. A
    // position with one separator is custom, any other a named one; an empty
    // or absent position keeps the kind the overlay has. Logs at warning
    // level and keeps everything as it was when a text cannot be parsed.
    bool setProperties(const OverlayProperties& properties);
    // Both throw std::runtime_error, changing nothing, when the position
    // cannot be parsed.
    void handleNonCustomProperties(int height, const std::string& position);
    void handleCustomProperties(int height, const std::string& position);

    // The band this overlay covers on a stream with the given settings.
    int getTop(const StreamSettings& settings) const;
    int getBottom(const StreamSettings& settings) const;
    int getOverlayId() const { return m_overlayId; }

  private:
    struct Margins {
        int top;
        int bottom;
    };

    Margins getMargins(const StreamSettings& settings) const;
    // The pixel height of a custom-placed overlay on the stream.
    int getCustomPixelHeight(const StreamSettings& settings) const;

    int m_overlayId;
    int m_topMargin = 0;
    int m_bottomMargin = 0;
    int m_height = 0;
    float m_verticalPosition = 0.0f;  // -1 (top) … 1 (bottom)
    bool m_customPosition = false;
    bool m_scaled;
    ExternalOverlayType_e m_type;
};
