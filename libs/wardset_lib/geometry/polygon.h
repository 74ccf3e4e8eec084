#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "geometry/point.h"

class Polyline;
class PolygonContainer;

// A closed polygon in scene coordinates (the last vertex joins the first)
// with its bounding box, which always describes the current vertices. Never
// empty: degenerate input becomes a small valid polygon.
class Polygon {
  public:
    // The general path (scene shapes, configured areas, clip results). A
    // missing or degenerate point list is turned into a usable polygon; v'
    // below is v + 1 for v < 2048 and v - 1 otherwise, per coordinate:
    //   no points:                 (0,0), (0,1), (1,0)
    //   one point P:               P, (x', y'), (x', y)
    //   two equal points P0 = P1:  P0, P1, (x0', y0'), (x0', y0)
    //   two different points:      P0, P1, (x1', y1')
    //   three or more:             the points as given
    Polygon(const Point* points, int count);
    // The rectangle (minX, minY), (minX, maxY), (maxX, maxY), (maxX, minY).
    Polygon(int minX, int maxX, int minY, int maxY);
    // The width x height rectangle whose lower left corner is
    // (centre.x - width / 2, centre.y - height / 2).
    Polygon(Point centre, int16_t width, int16_t height);

    const std::vector<Point>& getPoints() const { return m_points; }
    int32_t getWidth() const { return m_width; }
    int32_t getHeight() const { return m_height; }
    int16_t getMinX() const { return m_minX; }
    int16_t getMinY() const { return m_minY; }
    int16_t getMaxX() const { return m_maxX; }
    int16_t getMaxY() const { return m_maxY; }

    // The area centroid; the first vertex when the library has none (a
    // polygon without area).
    Point getCentroid() const;
    // Area in square scene units; 0 when the library cannot compute it.
    int getPolygonArea() const;
    bool doesIntersect(const Polygon& other) const;
    bool doesIntersect(const Polyline& line) const;
    // True when every vertex of other lies inside this polygon or on its border.
    bool isPolygonInside(const Polygon& other) const;
    // Append the pieces of this ∩ other, or of this minus other, to out.
    void intersect(const Polygon& other, PolygonContainer& out) const;
    void cutOff(const Polygon& other, PolygonContainer& out) const;

    std::unique_ptr<Polygon> clone() const;

    // The polygon as an SVG element of the given class, vertices in SVG
    // coordinates; the style attribute is left out when style is empty.
    std::string toStringSvg(const std::string& style, const std::string& cssClass) const;
    // The same element for the bounding box: (minX, minY), (maxX, minY),
    // (maxX, maxY), (minX, maxY).
    std::string toBoundingBoxStringSvg(const std::string& style, const std::string& cssClass) const;

  private:
    explicit Polygon(std::vector<Point> points);

    std::vector<Point> m_points;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int16_t m_minX = 0;
    int16_t m_minY = 0;
    int16_t m_maxX = 0;
    int16_t m_maxY = 0;
};
