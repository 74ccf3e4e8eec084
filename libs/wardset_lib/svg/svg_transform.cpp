#include "svg/svg_transform.h"

#include <syslog.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

using Matrix = std::array<double, 9>;

constexpr int kMatrixSize = 9;
constexpr double kSmallestDeterminant = 1e-5;

std::optional<Matrix> invert(const double* m, int count) {
    if (m == nullptr || count != kMatrixSize) {
        syslog(LOG_WARNING, "The Matrix needs 9 data values to be created.\n");
        return std::nullopt;
    }
    const double det = m[0] * m[4] * m[8] - m[0] * m[5] * m[7] - m[1] * m[3] * m[8] +
                       m[1] * m[5] * m[6] + m[2] * m[3] * m[7] - m[2] * m[4] * m[6];
    if (!(std::fabs(det) >= kSmallestDeterminant)) {
        syslog(LOG_WARNING, "The TransformationMatrix must be invertible.\n");
        return std::nullopt;
    }
    // Adjugate (transposed cofactors) divided by the determinant.
    return Matrix{(m[4] * m[8] - m[5] * m[7]) / det, (m[2] * m[7] - m[1] * m[8]) / det,
                  (m[1] * m[5] - m[2] * m[4]) / det, (m[5] * m[6] - m[3] * m[8]) / det,
                  (m[0] * m[8] - m[2] * m[6]) / det, (m[2] * m[3] - m[0] * m[5]) / det,
                  (m[3] * m[7] - m[4] * m[6]) / det, (m[1] * m[6] - m[0] * m[7]) / det,
                  (m[0] * m[4] - m[1] * m[3]) / det};
}

// " matrix(a b c d e f )" of the affine part, in SVG's column order.
std::string svgMatrix(const Matrix& inverse) {
    std::string text = " matrix(";
    for (int index : {0, 3, 1, 4, 2, 5}) {
        char number[32];
        // Adding 0 turns a negative zero of the adjugate into 0.0000.
        std::snprintf(number, sizeof number, "%.4f ", inverse[static_cast<size_t>(index)] + 0.0);
        text += number;
    }
    return text + ")";
}

}  // namespace

std::string createSVGTransform(const double* matrix, int count) {
    std::string group = "<g transform=\"matrix(1 0 0 -1 0 0)";
    if (const std::optional<Matrix> inverse = invert(matrix, count)) {
        group += svgMatrix(*inverse);
    }
    return group + "\" >";
}
