#include "geometry/transform.h"

#include <cstdint>

#include "geometry/point.h"

namespace Transform {

namespace {

constexpr int64_t kSceneSpan = 2 * kSceneLimit;

}  // namespace

int toPixelValue(int value, int size, bool flip) {
    const auto pixel = static_cast<int>(int64_t{size} * (value + kSceneLimit) / kSceneSpan);
    return flip ? size - pixel : pixel;
}

int scaleSize(int length, int size) {
    return static_cast<int>(int64_t{length} * size / kSceneSpan);
}

}  // namespace Transform
