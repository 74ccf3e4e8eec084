#include "geometry/polygon_clipping.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

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

// Whether adjustDuplicates has anything to move. Only vertices within the
// subject's box can coincide with one of its vertices.
bool hasDuplicate(const Polygon& subject, const std::vector<Point>& clipVertices) {
    const std::vector<Point>& subjectVertices = subject.getPoints();
    for (auto vertex = clipVertices.begin(); vertex != clipVertices.end(); ++vertex) {
        const bool inSubjectBox = subject.getMinX() <= vertex->x &&
                                  vertex->x <= subject.getMaxX() &&
                                  subject.getMinY() <= vertex->y && vertex->y <= subject.getMaxY();
        if ((inSubjectBox && std::find(subjectVertices.begin(), subjectVertices.end(), *vertex) !=
                                 subjectVertices.end()) ||
            std::find(clipVertices.begin(), vertex, *vertex) != vertex) {
            return true;
        }
    }
    return false;
}

void clipWithLibrary(const Polygon& subject, const std::vector<Point>& clipVertices, ClipMode mode,
                     PolygonContainer& out) {
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

}  // namespace

void clip(const Polygon& subject, const Polygon& other, ClipMode mode, PolygonContainer& out) {
    if (!hasDuplicate(subject, other.getPoints())) {
        clipWithLibrary(subject, other.getPoints(), mode, out);
        return;
    }
    std::vector<Point> adjusted = other.getPoints();
    adjustDuplicates(subject, adjusted);
    clipWithLibrary(subject, adjusted, mode, out);
}

void adjustDuplicates(const Polygon& subject, std::vector<Point>& clipVertices) {
    if (!hasDuplicate(subject, clipVertices)) {
        return;
    }
    SortedPoints taken(subject.getPoints());
    std::vector<std::size_t> duplicates;
    for (std::size_t i = 0; i < clipVertices.size(); ++i) {
        if (taken.count(clipVertices[i]) != 0) {
            duplicates.push_back(i);
        } else {
            taken.insert(clipVertices[i]);
        }
    }
    for (const std::size_t index : duplicates) {
        clipVertices[index] = findClosestNonDuplicate(clipVertices[index], taken);
        taken.insert(clipVertices[index]);
    }
}

SortedPoints::SortedPoints(std::vector<Point> points) : m_points(std::move(points)) {
    std::sort(m_points.begin(), m_points.end());
    m_points.erase(std::unique(m_points.begin(), m_points.end()), m_points.end());
}

void SortedPoints::insert(Point point) {
    const auto at = std::lower_bound(m_points.begin(), m_points.end(), point);
    if (at == m_points.end() || *at != point) {
        m_points.insert(at, point);
    }
}

}  // namespace clipping
