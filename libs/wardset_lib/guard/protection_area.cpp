#include "guard/protection_area.h"

#include <algorithm>

#include "geometry/polygon_container.h"
#include "geometry/polygon_overlap.h"
#include "tracking/tracking_object.h"

ProtectionArea::ProtectionArea(const Polygon& area)
    : m_area(area), m_areaIsSimple(overlap::isSimple(area)) {}

// Most objects are far from the area or plainly inside it or across its
// border; those are placed from their vertices. Apart from every exclude
// area an object is inside exactly when it overlaps the area with some area
// of its own, so the clip is left for objects that meet an exclude area, for
// borders that only touch and for overlaps the vertices do not settle.
ProtectionAreaResult_e ProtectionArea::checkObject(const TrackingObject& object) const {
    const Polygon& shape = object.getShape();
    if (!overlap::boxesMeet(m_area, shape)) {
        return AREA_OUTSIDE;
    }
    if (m_areaIsSimple && !mayBeExcluded(shape)) {
        switch (overlap::classify(m_area, shape)) {
            case overlap::Overlap::None:
                return AREA_OUTSIDE;
            case overlap::Overlap::Area:
                return AREA_INSIDE;
            case overlap::Overlap::Undecided:
                break;
        }
    }
    return clipAndCheck(shape);
}

// An exclude area that shares no point with the object covers no piece of
// it; that answer holds whatever the exclude area's shape.
bool ProtectionArea::mayBeExcluded(const Polygon& shape) const {
    return std::any_of(
        m_excludeAreas.begin(), m_excludeAreas.end(),
        [&shape](const Polygon& excludeArea) { return !overlap::areApart(excludeArea, shape); });
}

ProtectionAreaResult_e ProtectionArea::clipAndCheck(const Polygon& shape) const {
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
        if (!overlap::boxesMeet(excludeArea, piece)) {
            continue;
        }
        if (overlap::boxContains(excludeArea, piece) && excludeArea.isPolygonInside(piece)) {
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
