#include "geometry/transform.h"

#include <gtest/gtest.h>

namespace {

TEST(Transform, ToPixelValueMapsTheSceneOntoTheAxis) {
    EXPECT_EQ(Transform::toPixelValue(-4096, 640, false), 0);
    EXPECT_EQ(Transform::toPixelValue(4096, 640, false), 640);
    EXPECT_EQ(Transform::toPixelValue(0, 640, false), 320);
    EXPECT_EQ(Transform::toPixelValue(4096, 480, true), 0);
    EXPECT_EQ(Transform::toPixelValue(-4096, 480, true), 480);
    EXPECT_EQ(Transform::toPixelValue(1, 480, true), 240);  // 480 × 4097 / 8192 = 240.06
    EXPECT_EQ(Transform::toPixelValue(-1, 3, false), 1);    // 3 × 4095 / 8192 = 1.499
}

TEST(Transform, ScaleSizeTruncatesTowardZero) {
    EXPECT_EQ(Transform::scaleSize(8192, 1920), 1920);
    EXPECT_EQ(Transform::scaleSize(100, 1920), 23);  // 23.4
    EXPECT_EQ(Transform::scaleSize(-100, 1920), -23);
    // Large frames do not overflow the intermediate product.
    EXPECT_EQ(Transform::scaleSize(8192, 400000), 400000);
}

}  // namespace
