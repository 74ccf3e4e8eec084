#pragma once

#include <string>

#include "base/constants.h"
#include "geometry/point.h"

// Drawing helpers of the visual confirmation pictures.
class SVG_Utils {
  public:
    // A bar of the given length and thickness (scene units) filled to
    // fraction (limited to 0 .. 1), drawn as the whole bar in dark blue and the
    // filled part in red. The anchor is the bar's corner in the viewed image;
    // the bar runs along the viewed x axis of the camera rotation (0, 90, 180
    // or 270 degrees) and sits offset scene units below the anchor there.
    // Any other rotation gives an empty string.
    static std::string createProgressBar(Point anchor, int length, int thickness, double fraction,
                                         int rotation, int offset);

    // "fill:c;fill-opacity:o;stroke:c;stroke-width:w;" of the style.
    static std::string createStyle(const constants::DrawingStyle& style);
    // Objects in alarm (red), other confident objects (green), the loitering
    // area (red).
    static const std::string& alarmStyle();
    static const std::string& noAlarmStyle();
    static const std::string& loiteringAreaStyle();
};
