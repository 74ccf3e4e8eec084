#include "guard/protection_area.h"

#include <gtest/gtest.h>

#include "scene_script.h"

namespace {

using guardtest::Box;
using guardtest::SceneScript;

class ProtectionAreaTest : public ::testing::Test {
  protected:
    ProtectionAreaResult_e check(const Box& box) {
        const ParsedScene scene = script.frame(0, {box});
        return area.checkObject(*scene.getActiveObjects().front());
    }

    // The include area spans -2000..2000 on both axes.
    ProtectionArea area{Polygon(-2000, 2000, -2000, 2000)};
    SceneScript script;
};

TEST_F(ProtectionAreaTest, WithoutExcludeAreasAnOverlapIsInsideAndNoContactOutside) {
    EXPECT_EQ(check({1, -100, 100, -100, 100}), AREA_INSIDE);
    EXPECT_EQ(check({2, 1900, 2500, -100, 100}), AREA_INSIDE);  // partly in the area
    EXPECT_EQ(check({3, 2100, 2500, -100, 100}), AREA_OUTSIDE);
}

TEST_F(ProtectionAreaTest, AnObjectOnlyInAnExcludeAreaIsExcludedUnlessItPokesOut) {
    area.addExcludeArea(Polygon(-1000, 1000, -1000, 1000));
    EXPECT_EQ(check({1, -200, 200, -200, 200}), AREA_EXCLUDED);
    EXPECT_EQ(check({2, 800, 1200, -200, 200}), AREA_INSIDE);
    // Poking out of the exclude area but only beyond the include area as well
    // does not count: only the part in the include area is tested.
    area.addExcludeArea(Polygon(1500, 3000, -3000, 3000));
    EXPECT_EQ(check({3, 1800, 2500, -200, 200}), AREA_EXCLUDED);
}

TEST_F(ProtectionAreaTest, ExcludeAreasCoverAnObjectTogether) {
    // Two halves that meet at x = 0 each cover only part of the object.
    area.addExcludeArea(Polygon(-1000, 0, -1000, 1000));
    area.addExcludeArea(Polygon(0, 1000, -1000, 1000));
    EXPECT_EQ(check({1, -300, 300, -300, 300}), AREA_EXCLUDED);

    // With a gap between them the strip in the gap is inside.
    ProtectionArea gapped{Polygon(-2000, 2000, -2000, 2000)};
    gapped.addExcludeArea(Polygon(-1000, -50, -1000, 1000));
    gapped.addExcludeArea(Polygon(50, 1000, -1000, 1000));
    const ParsedScene scene = script.frame(0, {{2, -300, 300, -300, 300}});
    EXPECT_EQ(gapped.checkObject(*scene.getActiveObjects().front()), AREA_INSIDE);
}

TEST_F(ProtectionAreaTest, APieceIsExcludedOnlyWhenCoveredWhole) {
    area.addExcludeArea(Polygon(-1000, 1000, -1000, 1000));
    EXPECT_TRUE(area.isExcluded(Polygon(-500, 500, -500, 500)));
    EXPECT_FALSE(area.isExcluded(Polygon(500, 1500, -500, 500)));
    EXPECT_FALSE(area.isExcluded(Polygon(1200, 1500, -500, 500)));
    ProtectionArea noExcludes{Polygon(-2000, 2000, -2000, 2000)};
    EXPECT_FALSE(noExcludes.isExcluded(Polygon(-500, 500, -500, 500)));
}

}  // namespace
