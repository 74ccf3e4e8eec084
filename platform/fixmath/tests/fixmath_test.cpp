#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "fixmath.h"

namespace {

TEST(FixmathTest, EachEntryIsTheValueOfTheLowestFractionalBit) {
    for (int bits = 0; bits < FX_XTOD_TAB_SIZE; ++bits) {
        EXPECT_EQ(fx_xtod_tab[bits], std::ldexp(1.0, -bits)) << bits << " fractional bits";
    }
}

TEST(FixmathTest, TwelveFractionalBitsConvertSceneCoordinatesExactly) {
    EXPECT_EQ(2048 * fx_xtod_tab[12], 0.5);
    EXPECT_EQ(-4096 * fx_xtod_tab[12], -1.0);
    EXPECT_EQ(int32_t{1} * fx_xtod_tab[12], 1.0 / 4096);
}

}  // namespace
