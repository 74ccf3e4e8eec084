// Callers of the clip treat every returned ring as a polygon of its own, so a
// hole ring would be taken for a filled polygon. When the result has holes,
// the plane is therefore cut into rectangular cells, and the result is
// computed afresh inside each cell (subject clipped to the cell, then the
// operation), always from the original operands, so rounding errors do not
// pile up. A cell whose result still encloses a hole is cut in two along a
// line through that hole: the hole then opens onto the cut line and becomes a
// notch of the result in each half.
//
// The result inside a cell encloses exactly the holes of the whole result
// that lie strictly inside the cell, so each cut removes the hole it passes
// through. Only rounding interferes: the engine rounds the points where edges
// meet the cut line, and a hole less than one unit wide at the line can close
// up again. What is left of it lies on one side of the line, so its extent
// across the cut at least halves; a hole that fits into one unit cell is cut
// along its own vertical edge, which needs no rounding. The cuts are
// therefore limited to a fixed number per hole; a hole that outlasts them is
// a rounding artefact of less than one unit, and it is filled.

#include "hole_free_clip.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace gm {
namespace {

using ClipperLib::cInt;
using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;
using ClipperLib::PolyNode;

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

Path rectangle(const Bounds& bounds) {
    return {{bounds.minX, bounds.minY},
            {bounds.maxX, bounds.minY},
            {bounds.maxX, bounds.maxY},
            {bounds.minX, bounds.maxY}};
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

std::pair<Bounds, Bounds> halvesOf(const Bounds& cell, const CutLine& cut) {
    if (cut.vertical) {
        return {{cell.minX, cut.at, cell.minY, cell.maxY},
                {cut.at, cell.maxX, cell.minY, cell.maxY}};
    }
    return {{cell.minX, cell.maxX, cell.minY, cut.at}, {cell.minX, cell.maxX, cut.at, cell.maxY}};
}

bool execute(const Paths& subject, ClipperLib::PolyFillType subjectFill, const Path& clip,
             ClipperLib::ClipType type, ClipperLib::PolyTree& tree) {
    // One engine per thread, cleared for each use, rather than one built
    // and torn down per call.
    thread_local ClipperLib::Clipper clipper;
    clipper.Clear();
    clipper.AddPaths(subject, ClipperLib::ptSubject, true);
    clipper.AddPath(clip, ClipperLib::ptClip, true);
    return clipper.Execute(type, tree, subjectFill, ClipperLib::pftEvenOdd);
}

class HoleFreeClip {
  public:
    HoleFreeClip(const Path& subject, const Path& clip, ClipperLib::ClipType type)
        : subject_(subject), clip_(clip), type_(type) {}

    bool run(Paths& pieces) {
        ClipperLib::PolyTree whole;
        if (!execute({subject_}, ClipperLib::pftEvenOdd, clip_, type_, whole)) {
            return false;
        }
        const Paths holes = holesOf(whole);
        if (holes.empty()) {
            appendOuters(whole, pieces);
            return true;
        }
        // The result lies inside the subject, so its box is the first cell.
        Bounds box = boundsOf(subject_);
        box = {box.minX - 1, box.maxX + 1, box.minY - 1, box.maxY + 1};
        std::size_t cutsLeft = kCutsPerHole * holes.size();
        const auto halves = halvesOf(box, cutThrough(holes.front()));
        --cutsLeft;
        // A list rather than recursion, so that many holes cannot exhaust a
        // small thread stack.
        std::vector<Bounds> cells{halves.first, halves.second};
        while (!cells.empty()) {
            const Bounds cell = cells.back();
            cells.pop_back();
            ClipperLib::PolyTree part;
            if (!clipInCell(cell, part)) {
                return false;
            }
            const Paths left = holesOf(part);
            if (left.empty() || cutsLeft == 0) {
                appendOuters(part, pieces);
                continue;
            }
            --cutsLeft;
            const auto split = halvesOf(cell, cutThrough(left.front()));
            cells.push_back(split.first);
            cells.push_back(split.second);
        }
        return true;
    }

  private:
    // Cuts granted per hole: halving an int16 extent below two units takes
    // 16 cuts, once across and once along, plus the cut that opens it.
    static constexpr std::size_t kCutsPerHole = 33;

    bool clipInCell(const Bounds& cell, ClipperLib::PolyTree& tree) const {
        ClipperLib::PolyTree inCell;
        if (!execute({subject_}, ClipperLib::pftEvenOdd, rectangle(cell),
                     ClipperLib::ctIntersection, inCell)) {
            return false;
        }
        Paths part;
        ClipperLib::PolyTreeToPaths(inCell, part);
        // Engine output: outer rings wind positively, holes negatively.
        return execute(part, ClipperLib::pftPositive, clip_, type_, tree);
    }

    static Paths holesOf(const ClipperLib::PolyTree& tree) {
        Paths holes;
        for (const PolyNode* node = tree.GetFirst(); node != nullptr; node = node->GetNext()) {
            if (node->IsHole()) {
                holes.push_back(node->Contour);
            }
        }
        return holes;
    }

    // Outer rings without positive area are rounding debris of self-crossing
    // input a few units across; they are left out. The rings are moved out
    // of the tree, which is not used again.
    static void appendOuters(ClipperLib::PolyTree& tree, Paths& pieces) {
        for (PolyNode* node = tree.GetFirst(); node != nullptr; node = node->GetNext()) {
            if (!node->IsHole() && ClipperLib::Area(node->Contour) > 0.0) {
                pieces.push_back(std::move(node->Contour));
            }
        }
    }

    const Path& subject_;
    const Path& clip_;
    ClipperLib::ClipType type_;
};

}  // namespace

bool clipWithoutHoles(const Path& subject, const Path& clip, ClipperLib::ClipType type,
                      Paths& pieces) {
    return HoleFreeClip(subject, clip, type).run(pieces);
}

}  // namespace gm
