#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "geometry/polygon.h"

// An ordered collection of polygons that owns them. Copies are deep.
class PolygonContainer {
  public:
    using const_iterator = std::vector<std::unique_ptr<Polygon>>::const_iterator;

    PolygonContainer() = default;
    PolygonContainer(const PolygonContainer& other);
    PolygonContainer& operator=(const PolygonContainer& other);
    PolygonContainer(PolygonContainer&&) noexcept = default;
    PolygonContainer& operator=(PolygonContainer&&) noexcept = default;
    ~PolygonContainer() = default;

    // Appends and owns the polygon; a null pointer is ignored.
    void insert(std::unique_ptr<Polygon> polygon);
    // Appends copies of other's polygons, in order.
    void append(const PolygonContainer& other);
    // Moves every polygon of other, in order, to the end of this container
    // and leaves other empty. Taking over from itself changes nothing.
    void takeOwnership(PolygonContainer& other);
    void clear();

    std::size_t size() const { return m_polygons.size(); }
    bool empty() const { return m_polygons.empty(); }
    const Polygon& at(std::size_t index) const { return *m_polygons.at(index); }
    const_iterator begin() const { return m_polygons.begin(); }
    const_iterator end() const { return m_polygons.end(); }

  private:
    std::vector<std::unique_ptr<Polygon>> m_polygons;
};
