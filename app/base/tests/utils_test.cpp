#include "base/utils.h"

#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

#include "temporary_root.h"

namespace {

using Pieces = std::vector<std::string>;

TEST(Utils, SplitKeepsInnerEmptyPiecesButNoneAfterAFinalSeparator) {
    EXPECT_EQ(utils::splitString("a,b,,c", ','), (Pieces{"a", "b", "", "c"}));
    EXPECT_EQ(utils::splitString("a,b,", ','), (Pieces{"a", "b"}));
    EXPECT_EQ(utils::splitString(",a", ','), (Pieces{"", "a"}));
    EXPECT_EQ(utils::splitString("", ','), Pieces{});
    EXPECT_EQ(utils::splitString("abc", ','), Pieces{"abc"});
}

TEST(Utils, TrimRemovesSetCharactersAtBothEnds) {
    EXPECT_EQ(utils::trimString("  \tname \n", " \t\n"), "name");
    EXPECT_EQ(utils::trimString("xxxx", "x"), "");
    EXPECT_EQ(utils::trimString("a b", " "), "a b");
}

TEST(Utils, IsNumber) {
    for (const char* yes : {"12", "-1.5", "+3", "0.", ".5", "7"}) {
        EXPECT_TRUE(utils::isNumber(yes)) << yes;
    }
    for (const char* no : {"", "-", "+", "1.2.3", "12a", " 1", "--1"}) {
        EXPECT_FALSE(utils::isNumber(no)) << no;
    }
}

TEST(Utils, LengthInUtf8CountsCharactersNotBytes) {
    EXPECT_EQ(utils::lengthInUtf8("abc"), 3u);
    EXPECT_EQ(utils::lengthInUtf8("\xC3\xA5\xC3\xA4\xC3\xB6"), 3u);  // three two-byte letters
    EXPECT_EQ(utils::lengthInUtf8("\xE2\x82\xAC!"), 2u);
    EXPECT_EQ(utils::lengthInUtf8(""), 0u);
}

TEST(Utils, SmallHelpers) {
    EXPECT_THROW(utils::throwIf(true, "boom"), std::runtime_error);
    EXPECT_NO_THROW(utils::throwIf(false, "boom"));
    for (int rotation : {0, 90, 180, 270}) {
        EXPECT_TRUE(utils::isValidCameraRotation(rotation));
    }
    EXPECT_FALSE(utils::isValidCameraRotation(45));
    EXPECT_FALSE(utils::isValidCameraRotation(-90));
    EXPECT_EQ(utils::getDirName("/usr/local/packages/dwellwatch/localdata/config.json"),
              "/usr/local/packages/dwellwatch/localdata");
    EXPECT_EQ(utils::getDirName("config.json"), ".");
}

TEST(Utils, MonotonicAndWallClockConvertBothWays) {
    const int64_t monotonic = g_get_monotonic_time() - 5 * G_USEC_PER_SEC;
    const GTimeVal utc = utils::convertMonotonicToUTC_Time(&monotonic);
    const int64_t expectedUtc = g_get_real_time() - 5 * G_USEC_PER_SEC;
    const int64_t utcUs = static_cast<int64_t>(utc.tv_sec) * G_USEC_PER_SEC + utc.tv_usec;
    EXPECT_NEAR(static_cast<double>(utcUs), static_cast<double>(expectedUtc), 50000.0);
    EXPECT_GE(utc.tv_usec, 0);
    EXPECT_NEAR(static_cast<double>(utils::convertUTC_ToMonotonicTime(utc)),
                static_cast<double>(monotonic), 50000.0);
}

TEST(Utils, SaveAndSyncFileReplacesTheFileWhole) {
    camlet::testing::TemporaryRoot root;
    const std::string path = root.path() + "/config.json";
    ASSERT_TRUE(utils::saveAndSyncFile("{\"a\":1}", path));
    ASSERT_TRUE(utils::saveAndSyncFile("{}", path));
    EXPECT_EQ(root.readFile("/config.json"), "{}");
    EXPECT_FALSE(utils::saveAndSyncFile("{}", root.path() + "/missing/dir/config.json"));
}

TEST(Utils, SaveAndSyncFileReportsAFolderItCannotSync) {
    camlet::testing::TemporaryRoot root;
    // Files can be made in the folder, but it cannot be opened to sync it.
    const std::string folder = root.path() + "/unreadable";
    ASSERT_EQ(g_mkdir(folder.c_str(), 0700), 0);
    chmod(folder.c_str(), 0333);
    chmod(root.path().c_str(), 0711);
    // Root may open any folder: the save runs as another user.
    const uid_t user = geteuid();
    ASSERT_TRUE(user != 0 || seteuid(65534) == 0);
    const bool saved = utils::saveAndSyncFile("{}", folder + "/config.json");
    ASSERT_EQ(seteuid(user), 0);
    EXPECT_FALSE(saved);
    EXPECT_EQ(root.readFile("/unreadable/config.json"), "{}");  // written, not made durable
}

}  // namespace
