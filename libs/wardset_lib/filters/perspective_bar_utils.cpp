#include "filters/perspective_bar_utils.h"

#include <algorithm>
#include <cmath>

#include "base/status_exception.h"

namespace perspectiveBarUtils {

namespace {

constexpr float kSameScale = 1e-5f;

bool isConsistentPair(const PerspectiveBar& a, const PerspectiveBar& b, int rotation) {
    const bool samePosition = a.getFirst() == b.getFirst();
    const bool sameScale = std::fabs(a.getScale() - b.getScale()) < kSameScale;
    if (samePosition != sameScale) {
        return false;
    }
    if (a.isAbove(b, rotation) && a.getScale() > b.getScale()) {
        return false;
    }
    return !(b.isAbove(a, rotation) && a.getScale() <= b.getScale());
}

bool hasConsistentPairs(const std::vector<PerspectiveBar>& bars, int rotation) {
    for (size_t i = 0; i < bars.size(); ++i) {
        for (size_t j = i + 1; j < bars.size(); ++j) {
            if (!isConsistentPair(bars[i], bars[j], rotation)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

void validatePerspectiveBars(const std::vector<PerspectiveBar>& bars, int rotation) {
    if (bars.size() < 2) {
        throw StatusException("There must be at least two perspective bars", STATUS_CONTRADICTION);
    }
    const bool positiveHeights = std::all_of(
        bars.begin(), bars.end(), [](const PerspectiveBar& bar) { return bar.getHeight() > 0; });
    // Bars that all stand at one position give the fit no slope to find.
    const bool severalPositions = std::any_of(
        bars.begin(), bars.end(),
        [&bars](const PerspectiveBar& bar) { return bar.getFirst() != bars.front().getFirst(); });
    if (!positiveHeights || !severalPositions || !hasConsistentPairs(bars, rotation)) {
        throw StatusException("One or more of the perspective bars have invalid values",
                              STATUS_CONTRADICTION);
    }
}

}  // namespace perspectiveBarUtils
