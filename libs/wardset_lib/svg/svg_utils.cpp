#include "svg/svg_utils.h"

#include <algorithm>
#include <cstdio>

#include "geometry/svg_coordinate.h"

namespace {

const char* const kWholeBarEnding = " fill=\"darkblue\"/>";
const char* const kFilledPartEndingLengthwise = "  fill=\"red\"/>";
const char* const kFilledPartEndingUpright = " fill=\"red\"/>";

// Red and green of the shared area styles.
const constants::DrawingStyle& kRedStyle = constants::kAreaStyles[0];
const constants::DrawingStyle& kGreenStyle = constants::kAreaStyles[1];

// One rectangle in SVG coordinates.
struct Rect {
    double width;
    double height;
    double x;
    double y;
};

std::string rectElement(const Rect& rect, const char* ending) {
    char text[160];
    std::snprintf(text, sizeof text, "<rect width=\"%.3f\" height=\"%.3f\" x=\"%.3f\" y=\"%.3f\"%s",
                  rect.width, rect.height, rect.x, rect.y, ending);
    return text;
}

}  // namespace

std::string SVG_Utils::createProgressBar(Point anchor, int length, int thickness, double fraction,
                                         int rotation, int offset) {
    // Also keeps a negative or undefined fraction (a zero threshold) off the bar.
    const double filledShare = fraction >= 0.0 ? std::min(fraction, 1.0) : 0.0;
    const double whole = toSvgCoordinate(length);
    const double filled = filledShare * whole;
    const double rest = (1.0 - filledShare) * whole;
    const double across = toSvgCoordinate(thickness);
    const int32_t px = anchor.x;
    const int32_t py = anchor.y;
    Rect bar{};
    Rect part{};
    const char* partEnding = kFilledPartEndingLengthwise;
    switch (rotation) {
        case 0:
            bar = {whole, across, toSvgCoordinate(px), toSvgCoordinate(py - offset)};
            part = {filled, across, bar.x, bar.y};
            break;
        case 90:
            bar = {across, whole, toSvgCoordinate(px + offset), toSvgCoordinate(py)};
            part = {across, filled, bar.x, bar.y};
            partEnding = kFilledPartEndingUpright;
            break;
        case 180:
            bar = {whole, across, toSvgCoordinate(px - length), toSvgCoordinate(py + offset)};
            part = {filled, across, bar.x + rest, bar.y};
            break;
        case 270:
            bar = {across, whole, toSvgCoordinate(px - offset), toSvgCoordinate(py - length)};
            part = {across, filled, bar.x, bar.y + rest};
            partEnding = kFilledPartEndingUpright;
            break;
        default:
            return "";
    }
    return rectElement(bar, kWholeBarEnding) + rectElement(part, partEnding);
}

std::string SVG_Utils::createStyle(const constants::DrawingStyle& style) {
    char text[160];
    std::snprintf(text, sizeof text, "fill:%s;fill-opacity:%f;stroke:%s;stroke-width:%f;",
                  style.colour, style.fillOpacity, style.colour, style.strokeWidth);
    return text;
}

// Built once: every picture of every frame uses them.
const std::string& SVG_Utils::alarmStyle() {
    static const std::string style = createStyle(kRedStyle);
    return style;
}

const std::string& SVG_Utils::noAlarmStyle() {
    static const std::string style = createStyle(kGreenStyle);
    return style;
}

const std::string& SVG_Utils::loiteringAreaStyle() {
    static const std::string style = createStyle(kRedStyle);
    return style;
}
