#include <gtest/gtest.h>

#include "filter_test_objects.h"
#include "filters/low_confident_object_filter.h"
#include "filters/object_lifetime_filter.h"

namespace {

constexpr int64_t kSecond = 1000000;

TEST(LowConfidentObjectFilter, AcceptsOnlyConfidentObjects) {
    LowConfidentObjectFilter filter;
    auto object = trackedAt({0, 0});
    filter.updateFilterData(*object);
    EXPECT_TRUE(filter.canObjectTriggerAlarm(*object));
    object->update(moteAt(kSecond, {0, 0}, 100, 100, false));
    EXPECT_FALSE(filter.canObjectTriggerAlarm(*object));
    EXPECT_FALSE(filter.clone()->canObjectTriggerAlarm(*object));
}

TEST(ObjectLifetimeFilter, AcceptsFromTheMinimumLifetimeOn) {
    ObjectLifetimeFilter filter(3 * kSecond, true);
    auto object = std::make_unique<TrackingObject>(moteAt(10 * kSecond, {0, 0}), 0, 1.0f);
    EXPECT_FALSE(filter.canObjectTriggerAlarm(*object));
    object->update(moteAt(12 * kSecond + 900000, {0, 0}));
    EXPECT_FALSE(filter.canObjectTriggerAlarm(*object));
    object->update(moteAt(13 * kSecond, {0, 0}));
    EXPECT_TRUE(filter.canObjectTriggerAlarm(*object));
    EXPECT_TRUE(filter.clone()->canObjectTriggerAlarm(*object));

    auto young = trackedAt({0, 0});
    EXPECT_TRUE(ObjectLifetimeFilter(3 * kSecond, false).canObjectTriggerAlarm(*young));
    EXPECT_FALSE(filter.clone()->canObjectTriggerAlarm(*young));
}

}  // namespace
