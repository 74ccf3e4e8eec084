#include "overlay/cairo_transform.h"

#include <syslog.h>

#include "geometry/transform.h"

namespace Transform {
namespace Cairo {

namespace {

void warnUnhandledRotation(int rotation) {
    syslog(LOG_WARNING, "Unhandled rotation, value: %d\n", rotation);
}

}  // namespace

// Scene y grows upwards and pixel rows downwards, so the unrotated y axis is
// flipped; each quarter turn moves the flip to the other axis.
PixelPoint toPixelValue(int x, int y, const StreamSettings& settings,
                        const ExternalOverlayUnion& overlayUnion) {
    const int width = settings.getWidth();
    const int height = settings.getHeight();
    PixelPoint pixel;
    switch (settings.getRotation()) {
        case 0:
            pixel = {Transform::toPixelValue(x, width, false),
                     Transform::toPixelValue(y, height, true)};
            break;
        case 180:
            pixel = {Transform::toPixelValue(x, width, true),
                     Transform::toPixelValue(y, height, false)};
            break;
        case 90:
            pixel = {Transform::toPixelValue(y, height, false),
                     Transform::toPixelValue(x, width, false)};
            break;
        case 270:
            pixel = {Transform::toPixelValue(y, height, true),
                     Transform::toPixelValue(x, width, true)};
            break;
        default:
            warnUnhandledRotation(settings.getRotation());
            break;
    }
    pixel.y -= overlayUnion.getTop();
    return pixel;
}

PixelSize scaleSize(int width, int height, const StreamSettings& settings) {
    switch (settings.getRotation()) {
        case 0:
        case 180:
            return {Transform::scaleSize(width, settings.getWidth()),
                    Transform::scaleSize(height, settings.getHeight())};
        case 90:
        case 270:
            return {Transform::scaleSize(height, settings.getHeight()),
                    Transform::scaleSize(width, settings.getWidth())};
        default:
            warnUnhandledRotation(settings.getRotation());
            return {};
    }
}

}  // namespace Cairo
}  // namespace Transform
