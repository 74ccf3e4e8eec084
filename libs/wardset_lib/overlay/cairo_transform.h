#pragma once

#include "overlay/external_overlay_union.h"
#include "overlay/stream_settings.h"

// A position on the alarm overlay, in pixels of the rotated stream, with the
// top band of other overlays already taken off.
struct PixelPoint {
    int x = 0;
    int y = 0;
};

struct PixelSize {
    int width = 0;
    int height = 0;
};

namespace Transform {
namespace Cairo {

// Where scene point (x, y) lies on the overlay of a stream turned by 0, 90,
// 180 or 270 degrees. Other rotations log a warning and give (0, -top).
PixelPoint toPixelValue(int x, int y, const StreamSettings& settings,
                        const ExternalOverlayUnion& overlayUnion);
// A scene width and height in overlay pixels; (0, 0) with a warning for
// other rotations.
PixelSize scaleSize(int width, int height, const StreamSettings& settings);

}  // namespace Cairo
}  // namespace Transform
