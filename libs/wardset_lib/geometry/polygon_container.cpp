#include "geometry/polygon_container.h"

#include <iterator>
#include <utility>

PolygonContainer::PolygonContainer(const PolygonContainer& other) {
    append(other);
}

PolygonContainer& PolygonContainer::operator=(const PolygonContainer& other) {
    if (this != &other) {
        PolygonContainer copy(other);
        m_polygons.swap(copy.m_polygons);
    }
    return *this;
}

void PolygonContainer::insert(std::unique_ptr<Polygon> polygon) {
    if (polygon) {
        m_polygons.push_back(std::move(polygon));
    }
}

void PolygonContainer::append(const PolygonContainer& other) {
    m_polygons.reserve(m_polygons.size() + other.m_polygons.size());
    for (std::size_t i = 0, count = other.m_polygons.size(); i < count; ++i) {
        m_polygons.push_back(other.m_polygons[i]->clone());
    }
}

void PolygonContainer::takeOwnership(PolygonContainer& other) {
    if (this == &other) {
        return;
    }
    m_polygons.insert(m_polygons.end(), std::make_move_iterator(other.m_polygons.begin()),
                      std::make_move_iterator(other.m_polygons.end()));
    other.m_polygons.clear();
}

void PolygonContainer::clear() {
    m_polygons.clear();
}
