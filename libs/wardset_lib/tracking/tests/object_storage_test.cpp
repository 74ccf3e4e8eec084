#include "tracking/object_storage.h"

#include <gtest/gtest.h>

#include <memory>

#include "tracking_test_objects.h"

namespace {

std::unique_ptr<TrackingObject> objectSeenAt(int32_t id, int64_t lastSeen) {
    return trackedRectangle(id, lastSeen, 0, 10, 0, 10);
}

TEST(ObjectStorage, AFullStoreDropsTheHundredLeastRecentlySeen) {
    ObjectStorage storage(500);
    // Ids 0 .. 499, seen in a shuffled order: id i was last seen at (i × 7) mod 500.
    for (int32_t id = 0; id < 500; ++id) {
        ASSERT_TRUE(storage.insert(id, objectSeenAt(id, (id * 7) % 500)));
    }
    ASSERT_EQ(storage.getSize(), 500u);

    EXPECT_TRUE(storage.insert(1000, objectSeenAt(1000, 1000)));

    EXPECT_EQ(storage.getSize(), 401u);
    EXPECT_TRUE(storage.contains(1000));
    for (int32_t id = 0; id < 500; ++id) {
        const bool old = (id * 7) % 500 < 100;
        EXPECT_EQ(storage.contains(id), !old) << id;
    }
}

TEST(ObjectStorage, BelowCapacityNothingIsDropped) {
    ObjectStorage storage(500);
    for (int32_t id = 0; id < 499; ++id) {
        storage.insert(id, objectSeenAt(id, id));
    }
    storage.insert(499, objectSeenAt(499, 0));
    EXPECT_EQ(storage.getSize(), 500u);
}

TEST(ObjectStorage, ASmallStoreStillKeepsItsBound) {
    ObjectStorage storage(3);  // a fifth of 3 would be nothing
    for (int32_t id = 0; id < 10; ++id) {
        storage.insert(id, objectSeenAt(id, id));
    }
    EXPECT_EQ(storage.getSize(), 3u);
    EXPECT_TRUE(storage.contains(9));
    EXPECT_FALSE(storage.contains(6));
}

TEST(ObjectStorage, ADuplicateIdKeepsTheFirstObject) {
    ObjectStorage storage(500);
    auto first = objectSeenAt(7, 1);
    const TrackingObject* stored = first.get();
    EXPECT_TRUE(storage.insert(7, std::move(first)));
    EXPECT_FALSE(storage.insert(7, objectSeenAt(7, 2)));
    EXPECT_FALSE(storage.insert(8, nullptr));
    EXPECT_EQ(storage.getObject(7), stored);
    EXPECT_EQ(storage.getSize(), 1u);
    EXPECT_EQ(storage.getObject(8), nullptr);
}

TEST(ObjectStorage, RemoveHandsTheObjectOverDeleteDestroysIt) {
    ObjectStorage storage(500);
    storage.insert(1, objectSeenAt(1, 1));
    storage.insert(2, objectSeenAt(2, 2));
    storage.insert(3, objectSeenAt(3, 3));

    const std::unique_ptr<TrackingObject> removed = storage.remove(2);
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(removed->getId(), 2);
    EXPECT_FALSE(storage.contains(2));
    EXPECT_EQ(storage.remove(2), nullptr);

    storage.deleteObj(1);
    storage.deleteObj(42);
    EXPECT_FALSE(storage.contains(1));
    EXPECT_EQ(storage.getSize(), 1u);
    storage.deleteAll();
    EXPECT_EQ(storage.getSize(), 0u);
}

}  // namespace
