#include "base/convert.h"

#include <gtest/gtest.h>

#include "base/api_version_handler.h"
#include "base/utils.h"

namespace {

TEST(Convert, StringToFloatNeedsTheWholeTextToBeANumber) {
    EXPECT_EQ(Convert::stringToFloat("12.5"), std::make_pair(12.5f, true));
    EXPECT_EQ(Convert::stringToFloat("-0.25"), std::make_pair(-0.25f, true));
    EXPECT_FALSE(Convert::stringToFloat("12.5a").second);
    EXPECT_FALSE(Convert::stringToFloat("abc").second);
    EXPECT_FALSE(Convert::stringToFloat("").second);
    EXPECT_FALSE(Convert::stringToFloat(nullptr).second);
    EXPECT_FALSE(Convert::stringToFloat("inf").second);  // no digit
}

TEST(Convert, StringToIntReadsTheLeadingNumber) {
    EXPECT_EQ(Convert::stringToInt("42abc"), std::make_pair(42, true));
    EXPECT_EQ(Convert::stringToInt("-7"), std::make_pair(-7, true));
    EXPECT_FALSE(Convert::stringToInt("abc").second);
    EXPECT_FALSE(Convert::stringToInt(nullptr).second);
    // Out of range values saturate the same way on 32- and 64-bit builds.
    EXPECT_EQ(Convert::stringToInt("99999999999").first, 2147483647);
    EXPECT_EQ(Convert::stringToInt("-99999999999").first, -2147483647 - 1);
}

TEST(Convert, NumbersToText) {
    EXPECT_EQ(Convert::intToString(-15), "-15");
    EXPECT_EQ(Convert::doubleToString(12.5, 4), "12.5000");
    EXPECT_EQ(Convert::doubleToString(-0.97, 2), "-0.97");
    EXPECT_EQ(Convert::doubleToString(3.0, 0), "3");
}

TEST(ApiVersion, ParsingAndOrdering) {
    EXPECT_TRUE(API_Version("1.4").isValid());
    EXPECT_EQ(API_Version("1.4").getMajor(), 1);
    EXPECT_EQ(API_Version("1.4").getMinor(), 4);
    for (const char* bad : {"1.2.3", "1.a", "", "14", "+", "."}) {
        EXPECT_FALSE(API_Version(bad).isValid()) << bad;
    }
    EXPECT_FALSE(API_Version() == API_Version());
    EXPECT_TRUE(API_Version("1.10") == API_Version("1.10"));
    EXPECT_TRUE(API_Version("1.9") < API_Version("1.10"));
    EXPECT_TRUE(API_Version("1.2") <= API_Version("1.2"));
    EXPECT_FALSE(API_Version("2.0") <= API_Version("1.9"));
}

TEST(ApiVersionHandler, AnswersForTheApiVersionList) {
    const char* const versions[] = {"1.3", "1.0", "1.4", "1.1", "1.2"};
    const API_VersionHandler handler(versions, 5);
    EXPECT_EQ(handler.getHighestSupportedVersion().text(), "1.4");
    EXPECT_EQ(handler.getHighestSupportedVersion(1).text(), "1.4");
    EXPECT_FALSE(handler.getHighestSupportedVersion(2).isValid());
    for (const char* supported : {"1.0", "1.1", "1.2", "1.3", "1.4"}) {
        EXPECT_TRUE(handler.isSupported(API_Version(supported))) << supported;
    }
    EXPECT_FALSE(handler.isSupported(API_Version("1.5")));
    EXPECT_FALSE(handler.isSupported(API_Version("2.0")));
    EXPECT_FALSE(handler.isSupported(API_Version("x")));

    std::vector<std::string> older;
    for (const auto& version : handler.getSupportedVersions(API_Version("1.2"))) {
        older.push_back(version.text());
    }
    EXPECT_EQ(older, (std::vector<std::string>{"1.2", "1.1", "1.0"}));
    EXPECT_EQ(handler.toString(), "1.0 1.1 1.2 1.3 1.4 ");
    EXPECT_FALSE(API_VersionHandler(nullptr, 0).getHighestSupportedVersion().isValid());
}

}  // namespace
