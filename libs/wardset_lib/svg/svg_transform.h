#pragma once

#include <string>

// The opening SVG group of a visual confirmation picture: the flip from the
// scene's upward y to SVG's downward y, followed by the inverse of the
// viewer's 3 x 3 matrix (row-major, count values). A missing matrix, a count
// other than 9 or a matrix that cannot be inverted is logged as a warning and
// leaves the group with the flip alone.
std::string createSVGTransform(const double* matrix, int count);
