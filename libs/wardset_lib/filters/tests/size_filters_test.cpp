#include <gtest/gtest.h>

#include "filter_test_objects.h"
#include "filters/perspective.h"
#include "filters/perspective_filter_external_data.h"
#include "filters/size_filter_percent.h"
#include "filters/size_filter_perspective.h"

namespace {

TEST(SizeFilterPercent, RejectsOnlyWhenBothLargestSizesStayWithinTheLimits) {
    SizeFilterPercent filter(10, 20, true);
    EXPECT_EQ(filter.getMinWidth(), 819);
    EXPECT_EQ(filter.getMinHeight(), 1638);

    auto atLimits = trackedAt({0, 0}, 819, 1638);
    ASSERT_EQ(atLimits->getMaxWidth(), 819);
    ASSERT_EQ(atLimits->getMaxHeight(), 1638);
    EXPECT_FALSE(filter.canObjectTriggerAlarm(*atLimits));
    EXPECT_TRUE(filter.canObjectTriggerAlarm(*trackedAt({0, 0}, 820, 100)));
    EXPECT_TRUE(filter.canObjectTriggerAlarm(*trackedAt({0, 0}, 100, 1639)));
    EXPECT_FALSE(filter.clone()->canObjectTriggerAlarm(*atLimits));
    EXPECT_TRUE(SizeFilterPercent(10, 20, false).canObjectTriggerAlarm(*atLimits));
}

class SizeFilterPerspectiveTest : public ::testing::Test {
  protected:
    // scale = 1.5 - 0.0005 × position: 2 at -1000, 1 at 1000, 0 at 3000.
    const Perspective perspective{
        {PerspectiveBar(-1000, -800, 100), PerspectiveBar(1000, 1100, 100)}};

    static int32_t largest(const TrackingObject& object, const char* key) {
        return object.getData("size_filter_perspective_4")->getInt(key);
    }
};

TEST_F(SizeFilterPerspectiveTest, MeasuresRealWorldSizesAtTheObjectsFoot) {
    SizeFilterPerspective filter(4, 100, 100, perspective, true);
    // Foot at -1000 (scale 2): 200 × 200 scene units are 100 × 100.
    auto object = trackedAt({0, -900}, 200, 200);
    filter.updateFilterData(*object);
    EXPECT_EQ(largest(*object, PerspectiveFilterExternalData::kMaxRealWorldHeight), 100);
    EXPECT_EQ(largest(*object, PerspectiveFilterExternalData::kMaxRealWorldWidth), 100);
    EXPECT_FALSE(filter.canObjectTriggerAlarm(*object));

    // Farther away (foot at 1000, scale 1) the same box is twice as large,
    // and the largest size stays when the object comes back.
    object->update(moteAt(1, {0, 1100}, 200, 200));
    filter.updateFilterData(*object);
    EXPECT_TRUE(filter.canObjectTriggerAlarm(*object));
    object->update(moteAt(2, {0, -900}, 200, 200));
    filter.updateFilterData(*object);
    EXPECT_EQ(largest(*object, PerspectiveFilterExternalData::kMaxRealWorldHeight), 200);
    EXPECT_TRUE(filter.clone()->canObjectTriggerAlarm(*object));
}

TEST_F(SizeFilterPerspectiveTest, EitherSizeAboveItsMinimumIsEnough) {
    auto wide = trackedAt({0, -900}, 204, 200);  // 102 × 100
    auto tall = trackedAt({0, -899}, 200, 202);  // 100 × 101
    SizeFilterPerspective filter(4, 100, 100, perspective, true);
    for (TrackingObject* object : {wide.get(), tall.get()}) {
        filter.updateFilterData(*object);
        EXPECT_TRUE(filter.canObjectTriggerAlarm(*object));
    }
    EXPECT_FALSE(
        SizeFilterPerspective(4, 102, 101, perspective, true).canObjectTriggerAlarm(*wide));
}

TEST_F(SizeFilterPerspectiveTest, AnInactiveFilterAcceptsButStillMeasures) {
    SizeFilterPerspective filter(4, 1000, 1000, perspective, false);
    auto object = trackedAt({0, -900}, 200, 200);
    filter.updateFilterData(*object);
    EXPECT_TRUE(filter.canObjectTriggerAlarm(*object));
    EXPECT_EQ(largest(*object, PerspectiveFilterExternalData::kMaxRealWorldHeight), 100);
}

TEST_F(SizeFilterPerspectiveTest, FeetBeyondTheCalibratedRangeMeasureNothing) {
    SizeFilterPerspective filter(4, 10, 10, perspective, true);
    auto object = trackedAt({0, 3500}, 1000, 1000);  // foot at 3000: scale 0
    filter.updateFilterData(*object);
    object->update(moteAt(1, {0, 3700}, 1000, 1000));  // foot at 3200: negative scale
    filter.updateFilterData(*object);
    EXPECT_EQ(largest(*object, PerspectiveFilterExternalData::kMaxRealWorldHeight), 0);
    EXPECT_FALSE(filter.canObjectTriggerAlarm(*object));
}

TEST(PerspectiveFilterExternalData, MergeKeepsTheLargerOfEachSize) {
    PerspectiveFilterExternalData record;
    EXPECT_EQ(record.getInt(PerspectiveFilterExternalData::kMaxRealWorldHeight), 0);
    record.insert(PerspectiveFilterExternalData::kMaxRealWorldHeight, int32_t{50});
    record.insert(PerspectiveFilterExternalData::kMaxRealWorldWidth, int32_t{20});
    PerspectiveFilterExternalData other;
    other.insert(PerspectiveFilterExternalData::kMaxRealWorldHeight, int32_t{30});
    other.insert(PerspectiveFilterExternalData::kMaxRealWorldWidth, int32_t{40});
    const auto copy = record.clone();
    record.merge(other);
    EXPECT_EQ(record.getInt(PerspectiveFilterExternalData::kMaxRealWorldHeight), 50);
    EXPECT_EQ(record.getInt(PerspectiveFilterExternalData::kMaxRealWorldWidth), 40);
    EXPECT_EQ(copy->getInt(PerspectiveFilterExternalData::kMaxRealWorldWidth), 20);
}

}  // namespace
