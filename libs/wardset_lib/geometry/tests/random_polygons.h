#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "geometry/polygon.h"

// Random polygons for tests that compare two ways of answering the same
// question: scattered vertices (often self-crossing), star-shaped ones
// (simple, sometimes spiky) and rectangles (sometimes without area).
namespace geometrytest {

class RandomPolygons {
  public:
    explicit RandomPolygons(unsigned seed) : m_random(seed) {}

    int uniform(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    }

    // Vertices anywhere in a square: often self-crossing.
    Polygon scattered(int centreX, int centreY, int half, int count) {
        std::vector<Point> points;
        for (int i = 0; i < count; ++i) {
            points.push_back(at(centreX + uniform(-half, half), centreY + uniform(-half, half)));
        }
        return Polygon(points.data(), static_cast<int>(points.size()));
    }

    // Vertices at increasing angles round a centre: simple unless rounding
    // folds it, spiky when the radii differ a lot.
    Polygon starShaped(int centreX, int centreY, int radius, int count) {
        std::vector<double> angles;
        for (int i = 0; i < count; ++i) {
            angles.push_back(std::uniform_real_distribution<double>(0.0, 6.283185307)(m_random));
        }
        std::sort(angles.begin(), angles.end());
        std::vector<Point> points;
        for (const double angle : angles) {
            const int r = uniform(1, radius);
            points.push_back(at(centreX + static_cast<int>(std::lround(r * std::cos(angle))),
                                centreY + static_cast<int>(std::lround(r * std::sin(angle)))));
        }
        return Polygon(points.data(), static_cast<int>(points.size()));
    }

    Polygon rectangle(int centreX, int centreY, int half) {
        const int x0 = centreX + uniform(-half, half);
        const int y0 = centreY + uniform(-half, half);
        return Polygon(x0, x0 + uniform(0, half), y0, y0 + uniform(0, half));
    }

    Polygon any(int centreX, int centreY, int half) {
        switch (uniform(0, 2)) {
            case 0:
                return scattered(centreX, centreY, half, uniform(3, 8));
            case 1:
                return starShaped(centreX, centreY, half, uniform(3, 9));
            default:
                return rectangle(centreX, centreY, half);
        }
    }

  private:
    static Point at(int x, int y) { return {static_cast<int16_t>(x), static_cast<int16_t>(y)}; }

    std::mt19937 m_random;
};

}  // namespace geometrytest
