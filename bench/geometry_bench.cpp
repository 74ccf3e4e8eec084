// Clipping cost per frame and object: an 8-vertex object outline against a
// 10-vertex loitering area whose border it straddles.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <vector>

#include "geometry/polygon.h"
#include "geometry/polygon_container.h"

namespace {

Polygon polygonOf(const std::vector<Point>& points) {
    return Polygon(points.data(), static_cast<int>(points.size()));
}

// A person-sized outline across the area's right edge.
const Polygon kObject = polygonOf({{1400, -600},
                                   {1650, -650},
                                   {1850, -500},
                                   {1900, -100},
                                   {1800, 250},
                                   {1600, 320},
                                   {1420, 200},
                                   {1350, -200}});

// A concave area with a notch at the top.
const Polygon kArea = polygonOf({{-2000, -1500},
                                 {1700, -1500},
                                 {1700, 1200},
                                 {900, 1400},
                                 {400, 600},
                                 {-100, 600},
                                 {-500, 1400},
                                 {-1500, 1400},
                                 {-2300, 300},
                                 {-2300, -800}});

void BM_Intersect(benchmark::State& state) {
    std::size_t pieceCount = 0;
    for (auto _ : state) {
        PolygonContainer pieces;
        kObject.intersect(kArea, pieces);
        pieceCount = pieces.size();
        benchmark::DoNotOptimize(pieces);
    }
    state.counters["pieces"] = static_cast<double>(pieceCount);
}
BENCHMARK(BM_Intersect);

void BM_CutOff(benchmark::State& state) {
    std::size_t pieceCount = 0;
    for (auto _ : state) {
        PolygonContainer pieces;
        kObject.cutOff(kArea, pieces);
        pieceCount = pieces.size();
        benchmark::DoNotOptimize(pieces);
    }
    state.counters["pieces"] = static_cast<double>(pieceCount);
}
BENCHMARK(BM_CutOff);

}  // namespace
