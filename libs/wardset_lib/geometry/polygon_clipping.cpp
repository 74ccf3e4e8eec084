#include "geometry/polygon_clipping.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "geometry/platform_points.h"

namespace clipping {
namespace {

int libraryMode(ClipMode mode) {
    return mode == ClipMode::Intersection ? GM_CLIP_INTERSECTION : GM_CLIP_DIFFERENCE;
}

// Releases a clip result with free, as the library asks.
class LibraryRings {
  public:
    LibraryRings(gm_point_t** rings, int* counts, int ringCount)
        : m_rings(rings), m_counts(counts), m_ringCount(ringCount) {}
    ~LibraryRings() {
        for (int i = 0; i < m_ringCount; ++i) {
            std::free(m_rings[i]);
        }
        std::free(m_rings);
        std::free(m_counts);
    }
    LibraryRings(const LibraryRings&) = delete;
    LibraryRings& operator=(const LibraryRings&) = delete;

    void moveInto(PolygonContainer& out) const {
        for (int i = 0; i < m_ringCount; ++i) {
            out.insert(std::make_unique<Polygon>(fromPlatform(m_rings[i]), m_counts[i]));
        }
    }

  private:
    gm_point_t** m_rings;
    int* m_counts;
    int m_ringCount;
};

// A ring around the scene's full extent is reached from any int16 point, so
// the search below always ends before this; the point itself is returned
// only if every scene point were taken.
constexpr int kLargestRing = 2 * 32768;

bool isFree(int x, int y, const std::set<Point>& taken) {
    return taken.count(Point{static_cast<int16_t>(x), static_cast<int16_t>(y)}) == 0;
}

}  // namespace

void clip(const Polygon& subject, const Polygon& other, ClipMode mode, PolygonContainer& out) {
    std::vector<Point> clipVertices = other.getPoints();
    adjustDuplicates(subject, clipVertices);
    gm_point_t** rings = nullptr;
    int* counts = nullptr;
    int ringCount = 0;
    const std::vector<Point>& subjectVertices = subject.getPoints();
    if (gm_clip_pp(&rings, &counts, &ringCount, toPlatform(subjectVertices),
                   countOf(subjectVertices), toPlatform(clipVertices), countOf(clipVertices),
                   libraryMode(mode)) < 0) {
        return;
    }
    LibraryRings(rings, counts, ringCount).moveInto(out);
}

void adjustDuplicates(const Polygon& subject, std::vector<Point>& clipVertices) {
    std::set<Point> taken(subject.getPoints().begin(), subject.getPoints().end());
    std::vector<std::size_t> duplicates;
    for (std::size_t i = 0; i < clipVertices.size(); ++i) {
        if (!taken.insert(clipVertices[i]).second) {
            duplicates.push_back(i);
        }
    }
    for (const std::size_t index : duplicates) {
        clipVertices[index] = findClosestNonDuplicate(clipVertices[index], taken);
        taken.insert(clipVertices[index]);
    }
}

Point findClosestNonDuplicate(Point point, const std::set<Point>& taken) {
    for (int r = 1; r <= kLargestRing; ++r) {
        const int x0 = std::max(point.x - r, -kSceneLimit);
        const int x1 = std::min(point.x + r, kSceneLimit);
        const int y0 = std::max(point.y - r, -kSceneLimit);
        const int y1 = std::min(point.y + r, kSceneLimit);
        for (int i = x0; i <= x1; ++i) {
            if (isFree(i, y1, taken)) {
                return {static_cast<int16_t>(i), static_cast<int16_t>(y1)};
            }
            if (isFree(i, y0, taken)) {
                return {static_cast<int16_t>(i), static_cast<int16_t>(y0)};
            }
        }
        for (int j = y0 + 1; j <= y1 - 1; ++j) {
            if (isFree(x0, j, taken)) {
                return {static_cast<int16_t>(x0), static_cast<int16_t>(j)};
            }
            if (isFree(x1, j, taken)) {
                return {static_cast<int16_t>(x1), static_cast<int16_t>(j)};
            }
        }
    }
    return point;
}

}  // namespace clipping
