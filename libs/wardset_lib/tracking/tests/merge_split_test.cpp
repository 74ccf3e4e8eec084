#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "syslog_capture.h"
#include "tracking/tracking_object.h"
#include "tracking/tracking_object_external_data_no_merge.h"
#include "tracking_test_objects.h"

namespace {

constexpr int64_t kSecond = 1'000'000;
const char* const kLoitering = "loiteringArea_1";

TEST(TrackingObjectMerge, TheLargerLoiteringTimeAndTheEarlierUpdateWin) {
    auto target = trackedRectangle(1, 10 * kSecond, 0, 10, 0, 10);
    auto source = trackedRectangle(2, 10 * kSecond, 0, 10, 0, 10);
    target->insertData(kLoitering, std::make_unique<LoiteringRecord>(9 * kSecond, 3 * kSecond));
    source->insertData(kLoitering, std::make_unique<LoiteringRecord>(7 * kSecond, 12 * kSecond));

    target->merge({source.get()}, true);

    const LoiteringRecord* merged = loiteringOf(*target, kLoitering);
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(merged->loiteringTime(), 12 * kSecond);
    EXPECT_EQ(merged->lastUpdate(), 7 * kSecond);
    EXPECT_EQ(loiteringOf(*source, kLoitering)->loiteringTime(), 12 * kSecond);
}

TEST(TrackingObjectMerge, RecordsTheTargetLacksAreCopiedOthersStay) {
    auto target = trackedRectangle(1, 0, 0, 10, 0, 10);
    auto source = trackedRectangle(2, 0, 0, 10, 0, 10);
    target->insertData("dwellwatch_1", std::make_unique<LoiteringRecord>(1, 1));
    source->insertData(kLoitering, std::make_unique<LoiteringRecord>(5, 6));

    target->merge({source.get()}, true);

    const LoiteringRecord* copied = loiteringOf(*target, kLoitering);
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, loiteringOf(*source, kLoitering));
    EXPECT_EQ(copied->loiteringTime(), 6);
    EXPECT_EQ(loiteringOf(*target, "dwellwatch_1")->loiteringTime(), 1);
    EXPECT_EQ(source->getData("dwellwatch_1"), nullptr);
}

TEST(TrackingObjectMerge, KeepsTheEarlierFirstSeen) {
    auto target = trackedRectangle(1, 500, 0, 10, 0, 10);
    auto older = trackedRectangle(2, 100, 0, 10, 0, 10);
    auto newer = trackedRectangle(3, 900, 0, 10, 0, 10);
    target->merge({older.get(), newer.get()}, true);
    EXPECT_EQ(target->getFirstSeen(), 100);
}

TEST(TrackingObjectMerge, AReusedIdKeepsItsPreviousPositionANewIdTakesTheLastSources) {
    auto reused = trackedRectangle(1, 0, 0, 100, 0, 100);  // previous position (50, 50)
    auto first = trackedRectangle(2, 0, 1000, 1100, 0, 100);
    auto last = trackedRectangle(3, 0, 2000, 2100, 0, 100);
    reused->merge({first.get(), last.get()}, true);
    EXPECT_EQ(reused->getPreviousPosition(), (Point{50, 50}));
    EXPECT_EQ(reused->getPreviousFootBox().getMinX(), 0);

    auto fresh = trackedRectangle(4, 0, 0, 100, 0, 100);
    fresh->merge({first.get(), last.get()}, false);
    EXPECT_EQ(fresh->getPreviousPosition(), (Point{2050, 50}));
    EXPECT_EQ(fresh->getPreviousFootBox().getPoints(), last->getPreviousFootBox().getPoints());
    EXPECT_EQ(fresh->getCentroid(), (Point{50, 50}));
}

TEST(TrackingObjectMerge, BoxesOfDifferentRotationStayButMaximaCombine) {
    auto target = trackedRectangle(1, 0, 0, 100, 0, 50, 0);
    auto sideways = trackedRectangle(2, 0, 0, 300, 0, 20, 90);  // viewed 20 wide, 300 high
    SyslogCapture log;
    target->merge(*sideways, true);
    EXPECT_NE(log.take().find("Cannot merge two Invariant boxes"), std::string::npos);
    EXPECT_EQ(target->getBox().getWidth(), 100);
    EXPECT_EQ(target->getBox().getHeight(), 50);
    EXPECT_EQ(target->getMaxWidth(), 100);
    EXPECT_EQ(target->getMaxHeight(), 300);
}

TEST(TrackingObjectMerge, SkipsNullSourcesAndItself) {
    auto target = trackedRectangle(1, 500, 0, 10, 0, 10);
    auto sameId = trackedRectangle(1, 100, 0, 10, 0, 10);
    target->merge({nullptr, sameId.get()}, false);
    EXPECT_EQ(target->getFirstSeen(), 500);
}

TEST(TrackingObjectMerge, NonMergeableObjectsTakeNoPart) {
    auto target = trackedRectangle(1, 500, 0, 10, 0, 10);
    auto source = trackedRectangle(2, 100, 0, 99, 0, 99);
    source->insertData(kLoitering, std::make_unique<LoiteringRecord>(1, 12));

    source->setMergeable(false);
    target->merge({source.get()}, false);
    target->setMergeable(false);
    source->setMergeable(true);
    target->merge({source.get()}, false);

    EXPECT_EQ(target->getFirstSeen(), 500);
    EXPECT_EQ(target->getMaxWidth(), 10);
    EXPECT_EQ(target->getData(kLoitering), nullptr);
    EXPECT_EQ(target->getPreviousPosition(), (Point{5, 5}));
}

TEST(TrackingObjectSplit, PartsTakeOverTheSourcesHistoryAndCopiesOfItsRecords) {
    auto source = trackedRectangle(1, 500, 0, 200, 0, 300);
    source->setPreviousPosition({-40, -40});
    source->insertData(kLoitering, std::make_unique<LoiteringRecord>(400, 12 * kSecond));
    source->insertData("swaying_filter_1", std::make_unique<TrackingObjectExternalDataNoMerge>());
    auto part = trackedRectangle(2, 100, 1000, 1010, 0, 10);
    part->insertData(kLoitering, std::make_unique<LoiteringRecord>(90, 3 * kSecond));
    part->insertData("dwellwatch_1", std::make_unique<LoiteringRecord>(7, 7));

    source->split({part.get()});

    EXPECT_EQ(part->getFirstSeen(), 500);  // taken over, although later
    EXPECT_EQ(part->getPreviousPosition(), (Point{-40, -40}));
    EXPECT_EQ(part->getPreviousFootBox().getPoints(), source->getPreviousFootBox().getPoints());
    EXPECT_EQ(part->getMaxWidth(), 200);
    EXPECT_EQ(part->getMaxHeight(), 300);
    const LoiteringRecord* loitering = loiteringOf(*part, kLoitering);
    ASSERT_NE(loitering, nullptr);
    EXPECT_NE(loitering, loiteringOf(*source, kLoitering));
    EXPECT_EQ(loitering->loiteringTime(), 12 * kSecond);  // replaced, not merged
    EXPECT_EQ(loitering->lastUpdate(), 400);
    EXPECT_NE(part->getData("swaying_filter_1"), nullptr);
    EXPECT_EQ(loiteringOf(*part, "dwellwatch_1")->loiteringTime(), 7);
}

TEST(TrackingObjectSplit, SkipsTheSourceItselfAndNonMergeableParts) {
    auto source = trackedRectangle(1, 500, 0, 200, 0, 300);
    source->insertData(kLoitering, std::make_unique<LoiteringRecord>(1, 12));
    auto sameId = trackedRectangle(1, 100, 0, 10, 0, 10);
    auto swaying = trackedRectangle(3, 100, 0, 10, 0, 10);
    swaying->setMergeable(false);

    source->split({sameId.get(), swaying.get()});

    EXPECT_EQ(sameId->getFirstSeen(), 100);
    EXPECT_EQ(swaying->getFirstSeen(), 100);
    EXPECT_EQ(swaying->getData(kLoitering), nullptr);
    EXPECT_EQ(swaying->getMaxWidth(), 10);
}

}  // namespace
