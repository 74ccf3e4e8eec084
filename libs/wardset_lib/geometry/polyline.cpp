#include "geometry/polyline.h"

#include "geometry/platform_points.h"
#include "geometry/polygon.h"

Polyline::Polyline(const Point* points, int count) {
    if (points != nullptr && count > 0) {
        m_points.assign(points, points + count);
    }
}

Polyline::Polyline(Point start, Point end) : m_points{start, end} {}

bool Polyline::doesIntersect(const Polygon& polygon) const {
    return gm_intersect_ps(toPlatform(polygon.getPoints()), countOf(polygon.getPoints()),
                           toPlatform(m_points), countOf(m_points)) == 1;
}

bool Polyline::doesIntersect(const Polyline& other) const {
    return gm_intersect_ss(toPlatform(m_points), countOf(m_points), toPlatform(other.m_points),
                           countOf(other.m_points)) == 1;
}

std::unique_ptr<Polyline> Polyline::clone() const {
    return std::make_unique<Polyline>(*this);
}
