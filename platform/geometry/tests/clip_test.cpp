#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "gm_geometry.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

using Points = std::vector<gm_point_t>;

int countOf(const Points& points) {
    return static_cast<int>(points.size());
}

int64_t twiceSignedArea(const Points& ring) {
    int64_t sum = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const gm_point_t& a = ring[i];
        const gm_point_t& b = ring[(i + 1) % ring.size()];
        sum += int64_t{a.x} * b.y - int64_t{b.x} * a.y;
    }
    return sum;
}

// Owns what gm_clip_pp returns and releases it the documented way.
class ClipResult {
  public:
    ClipResult(const Points& a, const Points& b, int mode)
        : status_(gm_clip_pp(&rings_, &counts_, &count_, a.data(), countOf(a), b.data(), countOf(b),
                             mode)) {}
    ~ClipResult() {
        for (int i = 0; i < count_; ++i) {
            std::free(rings_[i]);
        }
        std::free(rings_);
        std::free(counts_);
    }
    ClipResult(const ClipResult&) = delete;
    ClipResult& operator=(const ClipResult&) = delete;

    int status() const { return status_; }
    int count() const { return count_; }
    bool arraysAreNull() const { return rings_ == nullptr && counts_ == nullptr; }
    Points ring(int i) const { return Points(rings_[i], rings_[i] + counts_[i]); }

    int64_t twiceTotalArea() const {
        int64_t total = 0;
        for (int i = 0; i < count_; ++i) {
            total += std::llabs(twiceSignedArea(ring(i)));
        }
        return total;
    }

    int piecesContaining(gm_point_t point) const {
        int pieces = 0;
        for (int i = 0; i < count_; ++i) {
            pieces += gm_inside_p(point, rings_[i], counts_[i]);
        }
        return pieces;
    }

  private:
    gm_point_t** rings_ = nullptr;
    int* counts_ = nullptr;
    int count_ = -1;
    int status_;
};

bool inside(gm_point_t point, const Points& polygon) {
    return gm_inside_p(point, polygon.data(), countOf(polygon)) == 1;
}

Points square(int16_t minX, int16_t minY, int16_t size) {
    const auto maxX = static_cast<int16_t>(minX + size);
    const auto maxY = static_cast<int16_t>(minY + size);
    return {{minX, minY}, {maxX, minY}, {maxX, maxY}, {minX, maxY}};
}

// A result ring that is a hole would wind the other way than the pieces.
void expectNoHoleRings(const ClipResult& result) {
    for (int i = 0; i < result.count(); ++i) {
        EXPECT_GT(twiceSignedArea(result.ring(i)), 0) << "ring " << i;
    }
}

// Shapes built on multiples of 4 with edges along x = 4k, y = 4k or
// x +- y = 4k never pass through the points x = 4i + 1, y = 4j + 2, so each
// such point must lie in exactly one piece inside the region and in none
// outside it.
void expectExactCover(const ClipResult& result, int from, int to,
                      const std::function<bool(gm_point_t)>& inRegion) {
    for (int x = from + 1; x < to; x += 4) {
        for (int y = from + 2; y < to; y += 4) {
            const gm_point_t p{static_cast<int16_t>(x), static_cast<int16_t>(y)};
            ASSERT_EQ(result.piecesContaining(p), inRegion(p) ? 1 : 0) << x << ", " << y;
        }
    }
}

TEST(GmClip, IntersectsOverlappingPolygons) {
    const ClipResult result(square(0, 0, 12), square(8, 4, 12), GM_CLIP_INTERSECTION);
    ASSERT_EQ(result.status(), GM_OK);
    ASSERT_EQ(result.count(), 1);
    EXPECT_EQ(result.twiceTotalArea(), 2 * 4 * 8);
    expectExactCover(result, -8, 24,
                     [](gm_point_t p) { return p.x > 8 && p.x < 12 && p.y > 4 && p.y < 12; });
}

TEST(GmClip, IdenticalPolygonsIntersectInThemselvesAndLeaveNoDifference) {
    const Points diamond{{0, -8}, {8, 0}, {0, 8}, {-8, 0}};
    const ClipResult same(diamond, diamond, GM_CLIP_INTERSECTION);
    ASSERT_EQ(same.status(), GM_OK);
    ASSERT_EQ(same.count(), 1);
    EXPECT_EQ(same.twiceTotalArea(), 2 * 128);

    const ClipResult nothing(diamond, diamond, GM_CLIP_DIFFERENCE);
    EXPECT_EQ(nothing.status(), GM_OK);
    EXPECT_EQ(nothing.count(), 0);
    EXPECT_TRUE(nothing.arraysAreNull());
}

TEST(GmClip, DisjointPolygonsHaveNoIntersectionAndTheFirstIsTheDifference) {
    const Points a = square(0, 0, 8);
    const ClipResult none(a, square(20, 20, 8), GM_CLIP_INTERSECTION);
    EXPECT_EQ(none.status(), GM_OK);
    EXPECT_EQ(none.count(), 0);
    EXPECT_TRUE(none.arraysAreNull());

    const ClipResult all(a, square(20, 20, 8), GM_CLIP_DIFFERENCE);
    ASSERT_EQ(all.status(), GM_OK);
    ASSERT_EQ(all.count(), 1);
    EXPECT_EQ(all.twiceTotalArea(), 2 * 64);
}

TEST(GmClip, HandlesASharedVertex) {
    const Points a = square(0, 0, 16);
    const Points b{{0, 0}, {8, -8}, {8, 8}};  // shares (0, 0) with a
    const ClipResult cut(a, b, GM_CLIP_INTERSECTION);
    ASSERT_EQ(cut.status(), GM_OK);
    ASSERT_EQ(cut.count(), 1);
    EXPECT_EQ(cut.twiceTotalArea(), 64);  // the triangle (0,0) (8,0) (8,8)

    const ClipResult rest(a, b, GM_CLIP_DIFFERENCE);
    ASSERT_EQ(rest.status(), GM_OK);
    EXPECT_EQ(rest.twiceTotalArea(), 2 * 256 - 64);
    expectExactCover(rest, -12, 28, [&](gm_point_t p) { return inside(p, a) && !inside(p, b); });
}

TEST(GmClip, SplitsADifferenceWithAHoleIntoPiecesWithoutHoles) {
    const Points a = square(-200, -200, 400);
    const Points b{{-40, -64}, {24, 0}, {-40, 64}, {-104, 0}};  // strictly inside a
    const ClipResult result(a, b, GM_CLIP_DIFFERENCE);
    ASSERT_EQ(result.status(), GM_OK);
    EXPECT_GE(result.count(), 2);
    expectNoHoleRings(result);
    EXPECT_EQ(result.twiceTotalArea(), 2 * (400 * 400 - 2 * 64 * 64));
    expectExactCover(result, -208, 208,
                     [&](gm_point_t p) { return inside(p, a) && !inside(p, b); });
}

// A ring drawn as one outline: around the outer square, along a bridge to the
// inner square, around it the other way and back over the bridge. Under the
// even-odd rule the inner square is a hole.
const Points kRing{{0, 0},   {96, 0},  {96, 96}, {0, 96},  {0, 48},  {24, 48},
                   {24, 72}, {72, 72}, {72, 24}, {24, 24}, {24, 48}, {0, 48}};

bool inRing(gm_point_t p) {
    const bool inOuter = p.x > 0 && p.x < 96 && p.y > 0 && p.y < 96;
    const bool inInner = p.x > 24 && p.x < 72 && p.y > 24 && p.y < 72;
    return inOuter && !inInner;
}

TEST(GmClip, SplitsAnIntersectionWithAHoleIntoPiecesWithoutHoles) {
    const ClipResult result(kRing, square(-8, -8, 112), GM_CLIP_INTERSECTION);
    ASSERT_EQ(result.status(), GM_OK);
    EXPECT_GE(result.count(), 2);
    expectNoHoleRings(result);
    EXPECT_EQ(result.twiceTotalArea(), 2 * (96 * 96 - 48 * 48));
    expectExactCover(result, -8, 104, inRing);
}

TEST(GmClip, SplitsARegionWithSeveralHoles) {
    const Points b = square(8, 8, 8);  // a second hole in the ring's solid part
    const ClipResult result(kRing, b, GM_CLIP_DIFFERENCE);
    ASSERT_EQ(result.status(), GM_OK);
    expectNoHoleRings(result);
    EXPECT_EQ(result.twiceTotalArea(), 2 * (96 * 96 - 48 * 48 - 8 * 8));
    expectExactCover(result, -8, 104, [&](gm_point_t p) { return inRing(p) && !inside(p, b); });
}

// Star-shaped outlines with random radii: the cuts cross slanted edges at
// rounded points, so the pieces may differ from the exact region by a sliver
// along each cut, but they never contain a hole ring.
Points star(std::mt19937& random, int16_t cx, int16_t cy, double minRadius, double maxRadius,
            int vertices) {
    std::uniform_real_distribution<double> radius(minRadius, maxRadius);
    Points outline;
    for (int i = 0; i < vertices; ++i) {
        const double angle = 2.0 * kPi * i / vertices;
        const double r = radius(random);
        outline.push_back({static_cast<int16_t>(cx + std::lround(r * std::cos(angle))),
                           static_cast<int16_t>(cy + std::lround(r * std::sin(angle)))});
    }
    return outline;
}

TEST(GmClip, RandomHolesAreAlwaysCutAway) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> offset(-400, 400);
    for (int round = 0; round < 200; ++round) {
        const Points a = star(random, 0, 0, 2000.0, 3000.0, 12);
        const Points b = star(random, static_cast<int16_t>(offset(random)),
                              static_cast<int16_t>(offset(random)), 50.0, 900.0, 9);
        const ClipResult result(a, b, GM_CLIP_DIFFERENCE);
        ASSERT_EQ(result.status(), GM_OK);
        ASSERT_GE(result.count(), 2);
        expectNoHoleRings(result);
        const int64_t exact = std::llabs(twiceSignedArea(a)) - std::llabs(twiceSignedArea(b));
        EXPECT_NEAR(static_cast<double>(result.twiceTotalArea()), static_cast<double>(exact),
                    exact * 1e-3)
            << "round " << round;
        if (::testing::Test::HasFailure()) {
            return;
        }
    }
}

TEST(GmClip, ThinSelfCrossingOperandsLoseNoArea) {
    // A self-crossing sliver a few units high: the result's holes are
    // rounded outlines that touch themselves, and cutting them must neither
    // loop nor drop the large region around them.
    const Points a = square(-2000, -2000, 4000);
    const Points sliver{{-1265, 251}, {-560, 246}, {-559, 250}, {-1493, 252},
                        {-560, 252},  {-559, 247}, {45, 246},   {-562, 252},
                        {-560, 247},  {-238, 247}, {-559, 250}};
    const ClipResult result(a, sliver, GM_CLIP_DIFFERENCE);
    ASSERT_EQ(result.status(), GM_OK);
    expectNoHoleRings(result);
    const double exact = 2.0 * (16000000 - 1960 - 1408);
    EXPECT_NEAR(static_cast<double>(result.twiceTotalArea()), exact, exact * 1e-3);
}

TEST(GmClip, RejectsBadArgumentsWithoutAllocating) {
    const Points a = square(0, 0, 8);
    const ClipResult badMode(a, a, 1);
    EXPECT_EQ(badMode.status(), GM_ERR_ARGUMENT);
    EXPECT_EQ(badMode.count(), 0);
    EXPECT_TRUE(badMode.arraysAreNull());
    const ClipResult tooFew(a, Points{{0, 0}, {1, 1}}, GM_CLIP_INTERSECTION);
    EXPECT_EQ(tooFew.status(), GM_ERR_ARGUMENT);
    EXPECT_TRUE(tooFew.arraysAreNull());
    int count = 0;
    int* counts = nullptr;
    EXPECT_EQ(gm_clip_pp(nullptr, &counts, &count, a.data(), 4, a.data(), 4, GM_CLIP_DIFFERENCE),
              GM_ERR_ARGUMENT);
}

}  // namespace
