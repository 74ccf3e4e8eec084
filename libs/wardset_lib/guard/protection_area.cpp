#include "guard/protection_area.h"

#include "geometry/polygon_container.h"
#include "tracking/tracking_object.h"

ProtectionAreaResult_e ProtectionArea::checkObject(const TrackingObject& object) const {
    const Polygon& shape = object.getShape();
    if (!m_area.doesIntersect(shape)) {
        return AREA_OUTSIDE;
    }
    PolygonContainer pieces;
    m_area.intersect(shape, pieces);
    for (const auto& piece : pieces) {
        if (!isExcluded(*piece)) {
            return AREA_INSIDE;
        }
    }
    // Also when the shapes only touch and the clip leaves no piece.
    return AREA_EXCLUDED;
}

bool ProtectionArea::isExcluded(const Polygon& piece) const {
    return !m_excludeAreas.empty() && isCoveredFrom(piece, 0);
}

// The exclude areas are applied in order; a piece an exclude area partly
// covers goes on as the parts left over, each of which must be covered by the
// following exclude areas. The first part left uncovered ends the search.
bool ProtectionArea::isCoveredFrom(const Polygon& piece, std::size_t first) const {
    for (std::size_t index = first; index < m_excludeAreas.size(); ++index) {
        const Polygon& excludeArea = m_excludeAreas[index];
        if (excludeArea.isPolygonInside(piece)) {
            return true;
        }
        if (excludeArea.doesIntersect(piece)) {
            PolygonContainer rest;
            piece.cutOff(excludeArea, rest);
            for (const auto& part : rest) {
                if (!isCoveredFrom(*part, index + 1)) {
                    return false;
                }
            }
            return true;
        }
    }
    return false;
}
