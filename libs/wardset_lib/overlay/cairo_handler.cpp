#include "overlay/cairo_handler.h"

#include <syslog.h>

#include "geometry/polygon.h"
#include "overlay/cairo_transform.h"

namespace {

// Equal red, green, blue and alpha, so the byte is a pair of equal palette
// indexes: 0x44 and 0x55.
constexpr double kDrawValue = 0.26666666666666666;
constexpr double kClearValue = 0.3333333333333333;
constexpr double kDrawLineWidth = 2;
constexpr double kEraseLineWidth = 4;

}  // namespace

CairoHandler::CairoHandler(const StreamSettings& settings, const ExternalOverlayUnion& overlayUnion)
    : m_width(settings.getRotationAndMacroBlockCorrectedWidth() / 2),
      m_height(settings.getRotationAndMacroBlockCorrectedHeight() -
               (overlayUnion.getTop() + overlayUnion.getBottom())) {
    if (m_width <= 0 || settings.getRotationAndMacroBlockCorrectedHeight() <= 0) {
        return;  // no stream to draw on yet
    }
    if (m_height <= 0) {
        syslog(LOG_WARNING, "No room for the alarm overlay: other overlays cover %d of %d rows\n",
               overlayUnion.getTop() + overlayUnion.getBottom(),
               settings.getRotationAndMacroBlockCorrectedHeight());
        return;
    }
    m_surface_p = Cairo::imageSurfaceCreate(CAIRO_FORMAT_A8, m_width, m_height);
    if (m_surface_p == nullptr) {
        return;
    }
    m_data_p = Cairo::imageSurfaceGetData(m_surface_p);
    m_context_p = Cairo::createContext(m_surface_p);
    Cairo::setAntialias(m_context_p, CAIRO_ANTIALIAS_NONE);
    clearSurface();
    Cairo::setOperator(m_context_p, CAIRO_OPERATOR_SOURCE);
}

CairoHandler::~CairoHandler() {
    if (m_context_p != nullptr) {
        Cairo::destroyContext(m_context_p);
    }
    if (m_surface_p != nullptr) {
        Cairo::destroySurface(m_surface_p);
    }
}

void CairoHandler::drawObject(const CairoBoundingBox& box) {
    strokeRectangle(box, kDrawValue, kDrawLineWidth);
    m_surfaceClear = false;
}

void CairoHandler::eraseObject(const CairoBoundingBox& box) {
    strokeRectangle(box, kClearValue, kEraseLineWidth);
}

void CairoHandler::drawPolygon(const Polygon& polygon, const StreamSettings& settings,
                               const ExternalOverlayUnion& overlayUnion) {
    strokePolygon(polygon, settings, overlayUnion, kDrawValue, kDrawLineWidth);
    m_surfaceClear = false;
}

void CairoHandler::erasePolygon(const Polygon& polygon, const StreamSettings& settings,
                                const ExternalOverlayUnion& overlayUnion) {
    strokePolygon(polygon, settings, overlayUnion, kClearValue, kEraseLineWidth);
}

void CairoHandler::clearSurface() {
    if (m_context_p == nullptr) {
        return;
    }
    Cairo::setSource_RGBA(m_context_p, kClearValue, kClearValue, kClearValue, kClearValue);
    Cairo::createRectangle(m_context_p, 0, 0, m_width, m_height);
    Cairo::contextFill(m_context_p);
    m_surfaceClear = true;
}

void CairoHandler::flush() {
    if (m_surface_p != nullptr) {
        Cairo::surfaceFlush(m_surface_p);
    }
}

void CairoHandler::setPen(double value, double lineWidth) {
    Cairo::setSource_RGBA(m_context_p, value, value, value, value);
    Cairo::setLineWidth(m_context_p, lineWidth);
}

void CairoHandler::strokeRectangle(const CairoBoundingBox& box, double value, double lineWidth) {
    if (m_context_p == nullptr) {
        return;
    }
    setPen(value, lineWidth);
    Cairo::createRectangle(m_context_p, box.left / 2, box.top, box.width / 2, box.height);
    Cairo::stroke(m_context_p);
}

void CairoHandler::strokePolygon(const Polygon& polygon, const StreamSettings& settings,
                                 const ExternalOverlayUnion& overlayUnion, double value,
                                 double lineWidth) {
    if (m_context_p == nullptr) {
        return;
    }
    setPen(value, lineWidth);
    bool first = true;
    for (const Point& vertex : polygon.getPoints()) {
        const PixelPoint pixel =
            Transform::Cairo::toPixelValue(vertex.x, vertex.y, settings, overlayUnion);
        if (first) {
            Cairo::moveTo(m_context_p, pixel.x / 2, pixel.y);
            first = false;
        } else {
            Cairo::lineTo(m_context_p, pixel.x / 2, pixel.y);
        }
    }
    Cairo::closePath(m_context_p);
    Cairo::stroke(m_context_p);
}
