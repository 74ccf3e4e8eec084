#include "tracking/mote_object.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(MoteObject, SizeComesFromThePolygonThenTheBoxThenNothing) {
    const MoteObject both(1, 0, {}, std::make_unique<Polygon>(0, 30, 0, 20),
                          std::make_unique<Polygon>(0, 300, 0, 200), true);
    EXPECT_EQ(both.getWidth(), 30);
    EXPECT_EQ(both.getHeight(), 20);
    EXPECT_EQ(both.getOutline(), both.getPolygon());

    const MoteObject boxOnly(2, 0, {}, nullptr, std::make_unique<Polygon>(0, 300, 0, 200), true);
    EXPECT_EQ(boxOnly.getWidth(), 300);
    EXPECT_EQ(boxOnly.getHeight(), 200);
    EXPECT_EQ(boxOnly.getOutline(), boxOnly.getBoundingBox());

    const MoteObject neither(3, 0, {}, nullptr, nullptr, false);
    EXPECT_EQ(neither.getWidth(), 0);
    EXPECT_EQ(neither.getHeight(), 0);
    EXPECT_EQ(neither.getOutline(), nullptr);
}

}  // namespace
