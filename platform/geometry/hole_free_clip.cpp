// Callers of the clip treat every returned ring as a polygon of its own, so a
// hole ring would be taken for a filled polygon. A region with holes is
// therefore cut in two along a line through its first hole: the hole then
// opens onto the cut line and becomes a notch of each half. The halves are
// clipped again and cut further while they still enclose holes.
//
// A half of region R on one side of a line encloses exactly the holes of R
// that lie strictly on that side, so each cut removes the hole it passes
// through. Only rounding interferes: the engine rounds the points where edges
// meet the cut line, and a hole less than one unit wide at the line can close
// up again. What is left of it lies on one side of the line, so its extent
// across the cut at least halves; a hole that fits into one unit cell is cut
// along its own vertical edge, which needs no rounding. The cuts are
// therefore limited to a fixed number per hole; a hole that outlasts them is
// a rounding artefact of less than one unit, and it is filled.

#include "hole_free_clip.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace gm {
namespace {

using ClipperLib::cInt;
using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;
using ClipperLib::PolyNode;

// One connected region of a clip result: its outer ring and the holes
// directly inside it.
struct Region {
    Path outer;
    Paths holes;
};

struct Bounds {
    cInt minX;
    cInt maxX;
    cInt minY;
    cInt maxY;
};

Bounds boundsOf(const Path& ring) {
    Bounds bounds{ring.front().X, ring.front().X, ring.front().Y, ring.front().Y};
    for (const IntPoint& p : ring) {
        bounds.minX = std::min(bounds.minX, p.X);
        bounds.maxX = std::max(bounds.maxX, p.X);
        bounds.minY = std::min(bounds.minY, p.Y);
        bounds.maxY = std::max(bounds.maxY, p.Y);
    }
    return bounds;
}

// The outer rings of a tree level with their holes; islands inside a hole
// are regions of their own.
void collectRegions(const PolyNode& parent, std::vector<Region>& regions) {
    for (const PolyNode* outer : parent.Childs) {
        Region region{outer->Contour, {}};
        for (const PolyNode* hole : outer->Childs) {
            region.holes.push_back(hole->Contour);
            collectRegions(*hole, regions);
        }
        regions.push_back(std::move(region));
    }
}

// The line x = at (vertical) or y = at.
struct CutLine {
    bool vertical;
    cInt at;
};

// A line that passes through the inside of the hole: any line strictly
// between the hole's extremes in one direction does, since the hole is
// connected. A hole less than two units wide and high has its vertices on
// the corners of one unit cell (a triangle or the square), so it has a
// vertical edge, and a cut along that edge opens it just as well.
CutLine cutThrough(const Path& hole) {
    const Bounds bounds = boundsOf(hole);
    if (bounds.maxX - bounds.minX >= 2) {
        return {true, bounds.minX + (bounds.maxX - bounds.minX) / 2};
    }
    if (bounds.maxY - bounds.minY >= 2) {
        return {false, bounds.minY + (bounds.maxY - bounds.minY) / 2};
    }
    cInt edgeX = bounds.minX;
    for (std::size_t i = 0; i < hole.size(); ++i) {
        if (hole[i].X == hole[(i + 1) % hole.size()].X) {
            edgeX = hole[i].X;
            break;
        }
    }
    return {true, edgeX};
}

Path rectangle(cInt minX, cInt maxX, cInt minY, cInt maxY) {
    return {{minX, minY}, {maxX, minY}, {maxX, maxY}, {minX, maxY}};
}

// The two sides of the cut, each as a rectangle that covers the region's
// part on that side.
std::pair<Path, Path> sidesOf(const CutLine& cut, const Bounds& region) {
    const Bounds b{region.minX - 1, region.maxX + 1, region.minY - 1, region.maxY + 1};
    if (cut.vertical) {
        return {rectangle(b.minX, cut.at, b.minY, b.maxY), rectangle(cut.at, b.maxX, b.minY, b.maxY)};
    }
    return {rectangle(b.minX, b.maxX, b.minY, cut.at), rectangle(b.minX, b.maxX, cut.at, b.maxY)};
}

bool clipToTree(const Paths& subject, const Path& clip, ClipperLib::ClipType type,
                ClipperLib::PolyTree& tree) {
    ClipperLib::Clipper clipper;
    clipper.AddPaths(subject, ClipperLib::ptSubject, true);
    clipper.AddPath(clip, ClipperLib::ptClip, true);
    return clipper.Execute(type, tree, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
}

// Cuts granted per hole: halving an int16 extent below two units takes 16
// cuts, once across and once along, plus the cut that opens it.
constexpr std::size_t kCutsPerHole = 33;

std::size_t holeCount(const std::vector<Region>& regions) {
    std::size_t holes = 0;
    for (const Region& region : regions) {
        holes += region.holes.size();
    }
    return holes;
}

// Works through a list rather than by recursion, so that many holes cannot
// exhaust a small thread stack.
bool appendWithoutHoles(const ClipperLib::PolyTree& tree, Paths& pieces) {
    std::vector<Region> pending;
    collectRegions(tree, pending);
    std::size_t cutsLeft = kCutsPerHole * holeCount(pending);
    while (!pending.empty()) {
        Region region = std::move(pending.back());
        pending.pop_back();
        if (region.holes.empty() || cutsLeft == 0) {
            pieces.push_back(std::move(region.outer));
            continue;
        }
        --cutsLeft;
        const auto sides = sidesOf(cutThrough(region.holes.front()), boundsOf(region.outer));
        Paths rings = std::move(region.holes);
        rings.push_back(std::move(region.outer));
        for (const Path* side : {&sides.first, &sides.second}) {
            ClipperLib::PolyTree half;
            if (!clipToTree(rings, *side, ClipperLib::ctIntersection, half)) {
                return false;
            }
            collectRegions(half, pending);
        }
    }
    return true;
}

}  // namespace

bool clipWithoutHoles(const Path& subject, const Path& clip, ClipperLib::ClipType type,
                      Paths& pieces) {
    ClipperLib::PolyTree tree;
    return clipToTree({subject}, clip, type, tree) && appendWithoutHoles(tree, pieces);
}

}  // namespace gm
