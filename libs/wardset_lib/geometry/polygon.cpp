#include "geometry/polygon.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "geometry/platform_points.h"
#include "geometry/polygon_clipping.h"
#include "geometry/polyline.h"
#include "geometry/svg_coordinate.h"

namespace {

// A neighbouring coordinate, stepping towards the scene centre line at 2048
// so that it never leaves the scene.
int16_t nudged(int16_t value) {
    return static_cast<int16_t>(value < 2048 ? value + 1 : value - 1);
}

std::vector<Point> usableVertices(const Point* points, int count) {
    if (points == nullptr || count <= 0) {
        return {{0, 0}, {0, 1}, {1, 0}};
    }
    const Point first = points[0];
    if (count == 1) {
        return {first, {nudged(first.x), nudged(first.y)}, {nudged(first.x), first.y}};
    }
    const Point second = points[1];
    if (count == 2 && first == second) {
        return {first, second, {nudged(first.x), nudged(first.y)}, {nudged(first.x), first.y}};
    }
    if (count == 2) {
        return {first, second, {nudged(second.x), nudged(second.y)}};
    }
    return std::vector<Point>(points, points + count);
}

// <polygon class="c" points=" x,y x,y ..." style="s"  />, followed by a newline.
std::string svgPolygonElement(const std::vector<Point>& vertices, const std::string& style,
                              const std::string& cssClass) {
    std::string element = "<polygon class=\"" + cssClass + "\" points=\"";
    for (const Point& vertex : vertices) {
        element += " " + toSvgPoint(vertex);
    }
    element += "\"";
    if (!style.empty()) {
        element += " style=\"" + style + "\" ";
    }
    return element + " />\n";
}

}  // namespace

Polygon::Polygon(const Point* points, int count) : Polygon(usableVertices(points, count)) {}

Polygon::Polygon(int minX, int maxX, int minY, int maxY)
    : Polygon(std::vector<Point>{{toCoordinate(minX), toCoordinate(minY)},
                                 {toCoordinate(minX), toCoordinate(maxY)},
                                 {toCoordinate(maxX), toCoordinate(maxY)},
                                 {toCoordinate(maxX), toCoordinate(minY)}}) {}

Polygon::Polygon(Point centre, int16_t width, int16_t height)
    : Polygon(centre.x - width / 2, centre.x - width / 2 + width, centre.y - height / 2,
              centre.y - height / 2 + height) {}

Polygon::Polygon(std::vector<Point> points) : m_points(std::move(points)) {
    int16_t minX = std::numeric_limits<int16_t>::max();
    int16_t minY = std::numeric_limits<int16_t>::max();
    int16_t maxX = std::numeric_limits<int16_t>::min();
    int16_t maxY = std::numeric_limits<int16_t>::min();
    for (const Point& p : m_points) {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    m_minX = minX;
    m_minY = minY;
    m_maxX = maxX;
    m_maxY = maxY;
    m_width = int32_t{maxX} - minX;
    m_height = int32_t{maxY} - minY;
}

Point Polygon::getCentroid() const {
    gm_point_t centroid{};
    if (gm_centroid_p(&centroid, toPlatform(m_points), countOf(m_points)) != GM_OK) {
        return m_points.front();
    }
    return fromPlatform(centroid);
}

int Polygon::getPolygonArea() const {
    int area = 0;
    if (gm_area_p(&area, toPlatform(m_points), countOf(m_points)) != GM_OK) {
        return 0;
    }
    return area;
}

bool Polygon::doesIntersect(const Polygon& other) const {
    return gm_intersect_pp(toPlatform(m_points), countOf(m_points), toPlatform(other.m_points),
                           countOf(other.m_points)) == 1;
}

bool Polygon::doesIntersect(const Polyline& line) const {
    return gm_intersect_ps(toPlatform(m_points), countOf(m_points), toPlatform(line.getPoints()),
                           countOf(line.getPoints())) == 1;
}

bool Polygon::isPolygonInside(const Polygon& other) const {
    return std::all_of(other.m_points.begin(), other.m_points.end(), [this](const Point& p) {
        return gm_inside_p(toPlatform(p), toPlatform(m_points), countOf(m_points)) == 1;
    });
}

void Polygon::intersect(const Polygon& other, PolygonContainer& out) const {
    clipping::clip(*this, other, clipping::ClipMode::Intersection, out);
}

void Polygon::cutOff(const Polygon& other, PolygonContainer& out) const {
    clipping::clip(*this, other, clipping::ClipMode::Difference, out);
}

std::unique_ptr<Polygon> Polygon::clone() const {
    return std::make_unique<Polygon>(*this);
}

std::string Polygon::toStringSvg(const std::string& style, const std::string& cssClass) const {
    return svgPolygonElement(m_points, style, cssClass);
}

std::string Polygon::toBoundingBoxStringSvg(const std::string& style,
                                            const std::string& cssClass) const {
    const std::vector<Point> corners = {
        {m_minX, m_minY}, {m_maxX, m_minY}, {m_maxX, m_maxY}, {m_minX, m_maxY}};
    return svgPolygonElement(corners, style, cssClass);
}
