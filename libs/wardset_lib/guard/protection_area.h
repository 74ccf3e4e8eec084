#pragma once

#include <cstddef>
#include <vector>

#include "geometry/polygon.h"

class TrackingObject;

// Where an object lies relative to a guard's area.
enum ProtectionAreaResult_e : int {
    AREA_INSIDE = 0,    // some part inside the area is not covered by exclude areas
    AREA_OUTSIDE = 1,   // does not touch the area
    AREA_EXCLUDED = 2,  // touches the area only where exclude areas cover it
};

// A guard's include area with the exclude areas cut out of it.
class ProtectionArea {
  public:
    explicit ProtectionArea(const Polygon& area);

    // Keeps a copy.
    void addExcludeArea(const Polygon& excludeArea) { m_excludeAreas.push_back(excludeArea); }

    ProtectionAreaResult_e checkObject(const TrackingObject& object) const;
    // True when the exclude areas together cover the whole piece.
    bool isExcluded(const Polygon& piece) const;

    const Polygon& getArea() const { return m_area; }
    const std::vector<Polygon>& getExcludeAreas() const { return m_excludeAreas; }

  private:
    // True when the exclude areas from index first on cover the whole piece.
    bool isCoveredFrom(const Polygon& piece, std::size_t first) const;
    // Whether the object touches the area only where the exclude areas may
    // cover it, or not at all: the clip decides.
    ProtectionAreaResult_e clipAndCheck(const Polygon& shape) const;
    bool mayBeExcluded(const Polygon& shape) const;

    Polygon m_area;
    // Whether the area's border is simple, so that most objects can be placed
    // without clipping.
    bool m_areaIsSimple;
    std::vector<Polygon> m_excludeAreas;
};
