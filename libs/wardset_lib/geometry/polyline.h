#pragma once

#include <memory>
#include <vector>

#include "geometry/point.h"

class Polygon;

// An open line in scene coordinates (fence lines read from configuration).
class Polyline {
  public:
    // The points as given; none when points is null or count is not positive.
    Polyline(const Point* points, int count);
    Polyline(Point start, Point end);

    const std::vector<Point>& getPoints() const { return m_points; }

    // False for a line of fewer than two points.
    bool doesIntersect(const Polygon& polygon) const;
    bool doesIntersect(const Polyline& other) const;

    std::unique_ptr<Polyline> clone() const;

  private:
    std::vector<Point> m_points;
};
