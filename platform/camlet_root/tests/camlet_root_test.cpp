#include "camlet_root.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class CamletRootTest : public ::testing::Test {
  protected:
    void TearDown() override { unsetenv("CAMLET_ROOT"); }
};

TEST_F(CamletRootTest, UnsetOrEmptyRootKeepsPaths) {
    unsetenv("CAMLET_ROOT");
    EXPECT_EQ(camlet::rootedPath("/var/run/bedrock/scenes"), "/var/run/bedrock/scenes");
    setenv("CAMLET_ROOT", "", 1);
    EXPECT_EQ(camlet::rootedPath("/etc/camlet/parameters.conf"), "/etc/camlet/parameters.conf");
    setenv("CAMLET_ROOT", "/", 1);
    EXPECT_EQ(camlet::rootedPath("/etc/camlet/parameters.conf"), "/etc/camlet/parameters.conf");
}

TEST_F(CamletRootTest, AbsolutePathsGoUnderTheRoot) {
    setenv("CAMLET_ROOT", "/tmp/cam//", 1);
    EXPECT_EQ(camlet::rootDirectory(), "/tmp/cam");
    EXPECT_EQ(camlet::rootedPath("/sys/devices/soc0/machine"), "/tmp/cam/sys/devices/soc0/machine");
}

TEST_F(CamletRootTest, RelativeAndEmptyPathsAreLeftAlone) {
    setenv("CAMLET_ROOT", "/tmp/cam", 1);
    EXPECT_EQ(camlet::rootedPath("config.json"), "config.json");
    EXPECT_EQ(camlet::rootedPath(""), "");
}

}  // namespace
