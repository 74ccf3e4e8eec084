#include "filters/swaying_filter.h"

#include <gtest/gtest.h>

#include "filter_test_objects.h"
#include "tracking/tracking_object_external_data.h"

namespace {

class SwayingFilterTest : public ::testing::Test {
  protected:
    // Moves the object so that its centroid is at (x, y) and updates the filter.
    void moveTo(int16_t x, int16_t y) {
        time += 100000;
        object->update(moteAt(time, {x, y}));
        filter.updateFilterData(*object);
    }
    const TrackingObjectExternalData& record() const {
        return *object->getData("swaying_filter_7");
    }

    SwayingFilter filter{10, 7, true};
    std::unique_ptr<TrackingObject> object = trackedAt({0, 0});
    int64_t time = 0;
};

TEST_F(SwayingFilterTest, DistanceIsAShareOfTheFullImageSquared) {
    EXPECT_EQ(filter.getMaxSquaredDistance(), 819 * 819);
    EXPECT_EQ(SwayingFilter(20, 7, true).getMaxSquaredDistance(), 1638 * 1638);
    EXPECT_EQ(SwayingFilter(3, 7, true).getMaxSquaredDistance(), 246 * 246);  // 245.76
}

TEST_F(SwayingFilterTest, OscillationWithinTheDistanceIsNeverAccepted) {
    filter.updateFilterData(*object);
    for (int swing = 0; swing < 10; ++swing) {
        moveTo(500, 0);
        moveTo(-300, 400);
        EXPECT_FALSE(filter.canObjectTriggerAlarm(*object));
    }
    EXPECT_EQ(record().getInt("localDisplacement"), 500 * 500);
}

TEST_F(SwayingFilterTest, OnceBeyondTheDistanceAnObjectStaysAccepted) {
    filter.updateFilterData(*object);
    moveTo(819, 0);
    EXPECT_FALSE(filter.canObjectTriggerAlarm(*object));  // 819² is not beyond
    moveTo(820, 0);
    EXPECT_TRUE(filter.canObjectTriggerAlarm(*object));
    moveTo(0, 0);
    moveTo(10, 0);
    EXPECT_TRUE(filter.canObjectTriggerAlarm(*object));
    EXPECT_TRUE(filter.clone()->canObjectTriggerAlarm(*object));  // same record key
}

TEST_F(SwayingFilterTest, ReturningWithinAFifthOfTheExcursionMovesTheOrigin) {
    filter.updateFilterData(*object);
    moveTo(600, 0);
    moveTo(120, 0);  // 120² = 600² / 25 is not within
    EXPECT_EQ(record().getInt("localDisplacement"), 600 * 600);
    moveTo(119, 0);
    EXPECT_EQ(record().getPoint("pointOfOrigin"), (Point{119, 0}));
    EXPECT_EQ(record().getInt("localDisplacement"), 0);
    // The excursion restarts from the new origin: 820 from the first origin is
    // only 701 from this one.
    moveTo(820, 0);
    EXPECT_FALSE(filter.canObjectTriggerAlarm(*object));
    EXPECT_EQ(record().getInt("localDisplacement"), 701 * 701);
}

TEST_F(SwayingFilterTest, AnInactiveFilterAcceptsAndKeepsNoStatistics) {
    SwayingFilter inactive(10, 8, false);
    inactive.updateFilterData(*object);
    EXPECT_TRUE(inactive.canObjectTriggerAlarm(*object));
    EXPECT_EQ(object->getData("swaying_filter_8"), nullptr);
}

}  // namespace
