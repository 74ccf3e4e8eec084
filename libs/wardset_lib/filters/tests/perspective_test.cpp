#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "base/status_exception.h"
#include "filters/perspective.h"
#include "filters/perspective_bar.h"
#include "filters/perspective_bar_utils.h"

namespace {

using Bars = std::vector<PerspectiveBar>;

// The message of the StatusException thrown by validation, or "" when it passes.
std::string validationError(const Bars& bars, int rotation = 0) {
    try {
        perspectiveBarUtils::validatePerspectiveBars(bars, rotation);
    } catch (const StatusException& error) {
        EXPECT_EQ(error.getStatusCode(), STATUS_CONTRADICTION);
        return error.what();
    }
    return "";
}

const std::string kTooFew = "There must be at least two perspective bars";
const std::string kInvalid = "One or more of the perspective bars have invalid values";

TEST(PerspectiveBar, ScaleIsLengthPerRealWorldUnitWhicheverEndComesFirst) {
    EXPECT_FLOAT_EQ(PerspectiveBar(100, 300, 50).getScale(), 4.0f);
    EXPECT_FLOAT_EQ(PerspectiveBar(300, 100, 50).getScale(), 4.0f);
    EXPECT_FLOAT_EQ(PerspectiveBar(0, 1, 3).getScale(), 1.0f / 3);
    EXPECT_EQ(PerspectiveBar(100, 300, 0).getScale(), 0.0f);
}

TEST(PerspectiveBar, AboveMeansHigherCoordinatesUnlessTheViewIsTurned) {
    const PerspectiveBar high(500, 600, 1);
    const PerspectiveBar low(-500, -400, 1);
    for (int rotation : {0, 270}) {
        EXPECT_TRUE(high.isAbove(low, rotation));
        EXPECT_FALSE(low.isAbove(high, rotation));
    }
    for (int rotation : {90, 180}) {
        EXPECT_FALSE(high.isAbove(low, rotation));
        EXPECT_TRUE(low.isAbove(high, rotation));
    }
    EXPECT_FALSE(high.isAbove(high, 0));
}

TEST(ValidatePerspectiveBars, NeedsAtLeastTwoBars) {
    EXPECT_EQ(validationError({}), kTooFew);
    EXPECT_EQ(validationError({PerspectiveBar(0, 100, 10)}), kTooFew);
}

TEST(ValidatePerspectiveBars, FartherBarsMustLookSmaller) {
    const PerspectiveBar far(1000, 1100, 100);    // scale 1, higher in the view
    const PerspectiveBar near(-1000, -800, 100);  // scale 2
    EXPECT_EQ(validationError({far, near}), "");
    EXPECT_EQ(validationError({near, far}), "");
    // Turned upside down, the same bars contradict each other in either order.
    EXPECT_EQ(validationError({far, near}, 180), kInvalid);
    EXPECT_EQ(validationError({near, far}, 180), kInvalid);
    // Only the first two agree.
    EXPECT_EQ(validationError({far, near, PerspectiveBar(2000, 2300, 100)}), kInvalid);
}

TEST(ValidatePerspectiveBars, ScalesAreTheSameExactlyWhenPositionsAre) {
    const PerspectiveBar nearHalf(-1000, -900, 50);      // scale 2
    const PerspectiveBar half(0, 50, 100);               // scale 0.5
    const PerspectiveBar almostHalf(0, 100001, 200000);  // scale 0.500005, within 1e-5
    EXPECT_EQ(validationError({half, almostHalf, nearHalf}), "");
    EXPECT_EQ(validationError({half, PerspectiveBar(0, 60, 100), nearHalf}), kInvalid);
    EXPECT_EQ(validationError({half, PerspectiveBar(-500, -450, 100), nearHalf}), kInvalid);
}

TEST(ValidatePerspectiveBars, RefusesBarsWithoutPositiveHeightOrASecondPosition) {
    const PerspectiveBar near(-1000, -800, 100);
    EXPECT_EQ(validationError({PerspectiveBar(1000, 1000, 0), near}), kInvalid);
    EXPECT_EQ(validationError({PerspectiveBar(1000, 900, -100), near}), kInvalid);
    // Same position, same scale: every pair agrees, but there is no slope to fit.
    EXPECT_EQ(validationError({PerspectiveBar(0, 50, 100), PerspectiveBar(0, 100, 200)}), kInvalid);
}

TEST(Perspective, LeastSquaresFitOfScaleOverPosition) {
    const Perspective two({PerspectiveBar(-1000, -800, 100), PerspectiveBar(1000, 1100, 100)});
    EXPECT_FLOAT_EQ(two.getSlope(), -0.0005f);
    EXPECT_FLOAT_EQ(two.getIntercept(), 1.5f);
    EXPECT_EQ(two.calculateRealWorldSize(-1000, 200), 100);
    EXPECT_EQ(two.calculateRealWorldSize(1000, 100), 100);
    EXPECT_EQ(two.calculateRealWorldSize(0, 100), 67);  // 66.67 rounds up
    EXPECT_EQ(two.calculateRealWorldSize(0, 99), 66);   // 66.0 stays

    const Perspective three({PerspectiveBar(-1000, -800, 100), PerspectiveBar(0, 140, 100),
                             PerspectiveBar(1000, 1100, 100)});
    EXPECT_FLOAT_EQ(three.getSlope(), -0.0005f);
    EXPECT_NEAR(three.getIntercept(), 4.4f / 3, 1e-6);
}

TEST(Perspective, DegenerateBarSetsGiveAFiniteModel) {
    const Perspective none{Bars{}};
    EXPECT_EQ(none.getSlope(), 0.0f);
    EXPECT_EQ(none.getIntercept(), 0.0f);
    EXPECT_EQ(none.calculateRealWorldSize(0, 100), 0);

    const Perspective onePosition({PerspectiveBar(300, 400, 100), PerspectiveBar(300, 500, 200)});
    EXPECT_EQ(onePosition.getSlope(), 0.0f);
    EXPECT_FLOAT_EQ(onePosition.getIntercept(), 1.0f);
    EXPECT_EQ(onePosition.calculateRealWorldSize(-4096, 250), 250);
}

TEST(Perspective, PositionsBeyondTheCalibratedRangeGiveNoSizeAndNoOverflow) {
    // scale = 1.5 - 0.0005 × position: zero at 3000, negative above.
    const Perspective model({PerspectiveBar(-1000, -800, 100), PerspectiveBar(1000, 1100, 100)});
    EXPECT_EQ(model.calculateRealWorldSize(3000, 500), 0);
    EXPECT_EQ(model.calculateRealWorldSize(4096, 500), 0);
    // Just below the zero the scale is tiny and the size enormous.
    // scale = 0.001 - 0.000999 × position.
    const Perspective steep({PerspectiveBar(0, 1, 1000), PerspectiveBar(-1000, -999, 1)});
    const int huge = steep.calculateRealWorldSize(0, std::numeric_limits<int>::max());
    EXPECT_GT(huge, std::numeric_limits<int>::max() - 1000);
}

}  // namespace
