// gm_clip_pp: the clipping engine's hole-free result copied into malloc'ed
// arrays that the caller releases with free.

#include <cstdlib>
#include <exception>
#include <new>
#include <optional>

#include "gm_geometry.h"
#include "hole_free_clip.h"

namespace {

std::optional<ClipperLib::ClipType> clipTypeOf(int mode) {
    switch (mode) {
        case GM_CLIP_INTERSECTION:
            return ClipperLib::ctIntersection;
        case GM_CLIP_DIFFERENCE:
            return ClipperLib::ctDifference;
        default:
            return std::nullopt;
    }
}

ClipperLib::Path toPath(const gm_point_t* vertices, int count) {
    ClipperLib::Path path;
    path.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        path.emplace_back(vertices[i].x, vertices[i].y);
    }
    return path;
}

// Result vertices are input vertices or rounded crossings of input edges, so
// they lie within the inputs' int16 range.
gm_point_t* copyRing(const ClipperLib::Path& ring) {
    auto* vertices = static_cast<gm_point_t*>(std::malloc(ring.size() * sizeof(gm_point_t)));
    if (vertices == nullptr) {
        return nullptr;
    }
    for (std::size_t i = 0; i < ring.size(); ++i) {
        vertices[i].x = static_cast<int16_t>(ring[i].X);
        vertices[i].y = static_cast<int16_t>(ring[i].Y);
    }
    return vertices;
}

void releaseRings(gm_point_t** rings, int* counts, int written) {
    for (int i = 0; i < written; ++i) {
        std::free(rings[i]);
    }
    std::free(rings);
    std::free(counts);
}

int writeRings(const ClipperLib::Paths& pieces, gm_point_t*** polygons, int** counts,
               int* polygon_count) {
    if (pieces.empty()) {
        return GM_OK;
    }
    auto* rings = static_cast<gm_point_t**>(std::malloc(pieces.size() * sizeof(gm_point_t*)));
    auto* sizes = static_cast<int*>(std::malloc(pieces.size() * sizeof(int)));
    if (rings == nullptr || sizes == nullptr) {
        releaseRings(rings, sizes, 0);
        return GM_ERR_MEMORY;
    }
    const int total = static_cast<int>(pieces.size());
    for (int i = 0; i < total; ++i) {
        rings[i] = copyRing(pieces[static_cast<std::size_t>(i)]);
        if (rings[i] == nullptr) {
            releaseRings(rings, sizes, i);
            return GM_ERR_MEMORY;
        }
        sizes[i] = static_cast<int>(pieces[static_cast<std::size_t>(i)].size());
    }
    *polygons = rings;
    *counts = sizes;
    *polygon_count = total;
    return GM_OK;
}

}  // namespace

int gm_clip_pp(gm_point_t*** polygons, int** counts, int* polygon_count, const gm_point_t* a,
               int count_a, const gm_point_t* b, int count_b, int mode) {
    if (polygons == nullptr || counts == nullptr || polygon_count == nullptr) {
        return GM_ERR_ARGUMENT;
    }
    *polygons = nullptr;
    *counts = nullptr;
    *polygon_count = 0;
    const auto type = clipTypeOf(mode);
    if (a == nullptr || b == nullptr || count_a < 3 || count_b < 3 || !type) {
        return GM_ERR_ARGUMENT;
    }
    try {
        ClipperLib::Paths pieces;
        if (!gm::clipWithoutHoles(toPath(a, count_a), toPath(b, count_b), *type, pieces)) {
            return GM_ERR_CLIP;
        }
        return writeRings(pieces, polygons, counts, polygon_count);
    } catch (const std::bad_alloc&) {
        return GM_ERR_MEMORY;
    } catch (const std::exception&) {
        return GM_ERR_CLIP;
    }
}
