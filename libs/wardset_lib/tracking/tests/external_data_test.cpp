#include "tracking/tracking_object_external_data.h"

#include <gtest/gtest.h>

#include "syslog_capture.h"
#include "tracking/tracking_object_external_data_no_merge.h"

namespace {

TEST(TrackingObjectExternalData, StoresAndOverwritesEachKindByKey) {
    TrackingObjectExternalDataNoMerge record;
    record.insert("flag", true);
    record.insert("count", int32_t{7});
    record.insert("where", Point{-3, 4});
    record.insert("since", int64_t{5'000'000'000});
    record.insert("count", int32_t{8});
    // Kinds have separate key spaces.
    record.insert("flag", int32_t{99});

    EXPECT_TRUE(record.getBool("flag"));
    EXPECT_EQ(record.getInt("count"), 8);
    EXPECT_EQ(record.getInt("flag"), 99);
    EXPECT_EQ(record.getPoint("where"), (Point{-3, 4}));
    EXPECT_EQ(record.getTimeVal("since", 0), 5'000'000'000);
}

TEST(TrackingObjectExternalData, MissingKeysReadAsZeroAndAreLogged) {
    const TrackingObjectExternalDataNoMerge record;
    SyslogCapture log;
    EXPECT_EQ(record.getInt("loiteringArea_3"), 0);
    EXPECT_FALSE(record.getBool("pending"));
    EXPECT_EQ(record.getPoint("anchor"), (Point{0, 0}));
    const std::string logged = log.take();
    EXPECT_NE(logged.find("Could not find stored data for key loiteringArea_3\n"),
              std::string::npos);
    EXPECT_NE(logged.find("Could not find stored data for key pending\n"), std::string::npos);
    EXPECT_NE(logged.find("Could not find stored data for key anchor\n"), std::string::npos);
}

TEST(TrackingObjectExternalData, MissingTimeReadsAsTheDefaultWithoutALog) {
    const TrackingObjectExternalDataNoMerge record;
    SyslogCapture log;
    EXPECT_EQ(record.getTimeVal("lastUpdateTime", -42), -42);
    EXPECT_EQ(log.take(), "");
}

TEST(TrackingObjectExternalDataNoMerge, MergeKeepsOwnValuesAndCloneCopiesAll) {
    TrackingObjectExternalDataNoMerge own;
    own.insert("count", int32_t{1});
    TrackingObjectExternalDataNoMerge other;
    other.insert("count", int32_t{5});
    other.insert("extra", true);
    own.merge(other);
    EXPECT_EQ(own.getInt("count"), 1);
    EXPECT_FALSE(own.getBool("extra"));

    other.insert("where", Point{1, 2});
    other.insert("since", int64_t{77});
    const auto copy = other.clone();
    other.insert("count", int32_t{6});
    ASSERT_NE(dynamic_cast<TrackingObjectExternalDataNoMerge*>(copy.get()), nullptr);
    EXPECT_EQ(copy->getInt("count"), 5);
    EXPECT_TRUE(copy->getBool("extra"));
    EXPECT_EQ(copy->getPoint("where"), (Point{1, 2}));
    EXPECT_EQ(copy->getTimeVal("since", 0), 77);
}

}  // namespace
