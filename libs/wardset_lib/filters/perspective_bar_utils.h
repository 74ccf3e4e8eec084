#pragma once

#include <vector>

#include "filters/perspective_bar.h"

namespace perspectiveBarUtils {

// Checks that the bars describe a usable perspective: at least two bars, each
// with a positive height, not all at one position; bars at one position have
// the same scale and bars at different positions different ones; and a bar
// higher in the view (farther away) never looks larger than a lower one.
// Throws StatusException (STATUS_CONTRADICTION) otherwise.
void validatePerspectiveBars(const std::vector<PerspectiveBar>& bars, int rotation);

}  // namespace perspectiveBarUtils
