#include "base/camera_info.h"

#include <gtest/gtest.h>

#include "base/sdk_wrapper.h"
#include "temporary_root.h"

namespace {

class CameraInfoTest : public ::testing::Test {
  protected:
    void SetUp() override { sdk_wrapper_init("DwellwatchGuard", "Dwellwatch", "CamletPlatform"); }
    void TearDown() override { sdk_wrapper_cleanup(); }

    void setParameters(const std::string& lines) {
        root.writeFile("/etc/camlet/parameters.conf", lines);
    }

    camlet::testing::TemporaryRoot root;
};

TEST(CameraInfoRatio, ParsesTwoIntegersAroundTheSeparator) {
    EXPECT_FLOAT_EQ(CameraInfo::parseRatio("16:9", ':'), 16.0f / 9.0f);
    EXPECT_FLOAT_EQ(CameraInfo::parseRatio("1280x720", 'x'), 16.0f / 9.0f);
    EXPECT_EQ(CameraInfo::parseRatio("16/9", ':'), 0.0f);
    EXPECT_EQ(CameraInfo::parseRatio("4:0", ':'), 0.0f);  // no division by zero
    EXPECT_EQ(CameraInfo::parseRatio("", 'x'), 0.0f);
}

TEST_F(CameraInfoTest, AspectRatioFromSensorResolutionOrVideoType) {
    setParameters("ImageSource.I0.Sensor.AspectRatio=16:9\n");
    EXPECT_NEAR(CameraInfo::getCameraAspectRatio(1), 1.7777778f, 1e-6f);

    setParameters("Image.I0.Appearance.Resolution=1280x720\n");
    EXPECT_NEAR(CameraInfo::getCameraAspectRatio(1), 1.7777778f, 1e-6f);

    setParameters("ImageSource.I1.Video.DetectedType=pal\n");
    EXPECT_NEAR(CameraInfo::getCameraAspectRatio(2), 4.0f / 3.0f, 1e-6f);

    setParameters("ImageSource.I0.Video.DetectedType=secam\n");
    EXPECT_EQ(CameraInfo::getCameraAspectRatio(1), 1.0f);

    // An unreadable sensor ratio is returned as it parsed, without falling back.
    setParameters(
        "ImageSource.I0.Sensor.AspectRatio=garbage\n"
        "Image.I0.Appearance.Resolution=1280x720\n");
    EXPECT_EQ(CameraInfo::getCameraAspectRatio(1), 0.0f);
    setParameters("ImageSource.I0.Sensor.AspectRatio=16:0\n");
    EXPECT_EQ(CameraInfo::getCameraAspectRatio(1), 0.0f);

    // A resolution with a zero height falls back to the video type.
    setParameters(
        "Image.I0.Appearance.Resolution=1280x0\nImageSource.I0.Video.DetectedType=NTSC\n");
    EXPECT_NEAR(CameraInfo::getCameraAspectRatio(1), 4.0f / 3.0f, 1e-6f);
}

// The cached facts are read once per process, so one test sets them all.
TEST_F(CameraInfoTest, DeviceFactsAreReadOnceAndKept) {
    setParameters(
        "root.Properties.EmbeddedDevelopment.Version=2.15\n"
        "root.Properties.PTZ.PTZ=yes\n"
        "root.Properties.PTZ.DigitalPTZ=no\n"
        "root.Properties.EmbeddedDevelopment.RuleEngine.MultiConfiguration=yes\n"
        "root.ImageSource.NbrOfSources=2\n"
        "root.ImageSource.I1.Name=Rear yard\n"
        "ImageSource.I0.Sensor.AspectRatio=16:9\n"
        "root.Properties.Image.Resolution=1920x1080,1280x720,800x600,bad,2560x1440,0x0,640x360\n");
    EXPECT_EQ(CameraInfo::getSDK_Version().text(), "2.15");
    EXPECT_TRUE(CameraInfo::isMechanicalPTZ());
    EXPECT_EQ(CameraInfo::getNbrOfCameras(), 2);
    EXPECT_TRUE(CameraInfo::isMultiCamera());
    EXPECT_EQ(CameraInfo::getCameraName(2), "Rear yard");
    EXPECT_EQ(CameraInfo::getCameraName(3), "");
    EXPECT_EQ(CameraInfo::getCameraName(0), "");

    // Below platform 2.16 the widest usable resolution is 1280 pixels.
    std::vector<std::string> resolutions;
    for (const auto& resolution : CameraInfo::getCameraResolutionsForCurrentAspectRatio()) {
        resolutions.push_back(resolution.toString());
    }
    EXPECT_EQ(resolutions, (std::vector<std::string>{"1280x720", "640x360"}));

    // Two channels: no alarm overlay.
    EXPECT_FALSE(CameraInfo::isAlarmOverlaySupported());

    setParameters("root.ImageSource.NbrOfSources=1\nroot.ImageSource.I1.Name=Other\n");
    EXPECT_EQ(CameraInfo::getNbrOfCameras(), 2);
    EXPECT_EQ(CameraInfo::getCameraName(2), "Rear yard");
    EXPECT_TRUE(CameraInfo::isMechanicalPTZ());
}

}  // namespace
