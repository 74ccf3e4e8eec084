#include "scene/mote_utils.h"

#include <gtest/gtest.h>

TEST(MoteUtils, CapabilitiesFollowTheSceneVersion) {
    const API_Version v10("1.0"), v11("1.1"), v12("1.2");
    EXPECT_EQ(MoteUtils::removeUnsupportedCapabilites(v10, 14), 6u);
    EXPECT_EQ(MoteUtils::removeUnsupportedCapabilites(v11, 14), 14u);
    EXPECT_EQ(MoteUtils::removeUnsupportedCapabilites(v12, 14), 0u);
    EXPECT_EQ(MoteUtils::removeUnsupportedCapabilites(API_Version(), 15), 0u);

    EXPECT_TRUE(MoteUtils::areCapabilitiesSupported(v10, 7));
    EXPECT_FALSE(MoteUtils::areCapabilitiesSupported(v10, 8));
    EXPECT_TRUE(MoteUtils::areCapabilitiesSupported(v11, 15));
    EXPECT_FALSE(MoteUtils::areCapabilitiesSupported(v12, 1));
    EXPECT_TRUE(MoteUtils::areCapabilitiesSupported(v12, 0));
}
