#include <gtest/gtest.h>

#include <string>

#include "config/application.h"
#include "config/cgi_pack.h"
#include "config/configuration_parser.h"
#include "config_test_support.h"
#include "fake_guard_factory.h"

namespace {

const bool kDevice = configtest::runOnDevice(configtest::kTwoChannelDevice);

class TwoChannelParserTest : public ::testing::Test {
  protected:
    StatusCode_e parse(const std::string& cameras, const std::string& profiles) {
        configtest::LogCapture log;
        parser.parse(R"({"params": {"cameras": )" + cameras + R"(, "profiles": )" + profiles + "}}",
                     Application::getDataBoundaries());
        return parser.status();
    }

    ConfigurationParser<configtest::FakeGuardFactory> parser;
};

const std::string kTwoCameras =
    R"([{"id": 1, "active": true, "rotation": 0, "overlayResolution": "640x480"},
        {"id": 2, "active": true, "rotation": 0, "overlayResolution": "800x600"}])";

std::string profile(int uid, int camera, bool overlay = false) {
    return R"({"uid": )" + std::to_string(uid) + R"(, "camera": )" + std::to_string(camera) +
           R"(, "alarmOverlayEnabled": )" + (overlay ? "true" : "false") + "}";
}

TEST_F(TwoChannelParserTest, TheSameIdTwiceIsAContradiction) {
    EXPECT_EQ(parse(R"([{"id": 2, "active": true, "rotation": 0},
                        {"id": 2, "active": false, "rotation": 90}])",
                    "[]"),
              STATUS_CONTRADICTION);
    EXPECT_EQ(parse(R"([{"id": 1, "active": true, "rotation": 0},
                        {"id": 2, "active": true, "rotation": 0},
                        {"id": 2, "active": true, "rotation": 0}])",
                    "[]"),
              STATUS_INVALID_PARAMETER);  // more cameras than channels
}

TEST_F(TwoChannelParserTest, ThreeProfilesPerCameraOnAMultiChannelDevice) {
    const std::string three = "[" + profile(1, 1) + ", " + profile(2, 1) + ", " + profile(3, 1) +
                              ", " + profile(4, 2) + "]";
    EXPECT_EQ(parse(kTwoCameras, three), STATUS_OK);
    const std::string four = "[" + profile(1, 1) + ", " + profile(2, 1) + ", " + profile(3, 1) +
                             ", " + profile(4, 1) + "]";
    EXPECT_EQ(parse(kTwoCameras, four), STATUS_TOO_MANY_PROFILES);
}

TEST_F(TwoChannelParserTest, AlarmOverlayOnOneCameraOnly) {
    EXPECT_EQ(parse(kTwoCameras, "[" + profile(1, 1, true) + ", " + profile(2, 2, true) + "]"),
              STATUS_CONTRADICTION);
    EXPECT_EQ(parse(kTwoCameras, "[" + profile(1, 2, true) + ", " + profile(2, 2, true) + "]"),
              STATUS_OK);
}

TEST(TwoChannelCapabilities, ProfileLimitAndOverlayCamerasOfTheDevice) {
    EXPECT_EQ(configtest::answerText(CGI_Pack::profiles(Application::getDataBoundaries()).get()),
              R"({"minNbrProfilesPerCamera":0,"maxNbrProfilesPerCamera":3,)"
              R"("minLengthName":1,"maxLengthName":15})");
    EXPECT_EQ(configtest::answerText(CGI_Pack::alarmOverlay(true).get()),
              R"({"isSupported":true,"maxNbrActiveCameras":1,"cameras":[)"
              R"({"id":1,"availableResolutions":["800x600","640x480"]},)"
              R"({"id":2,"availableResolutions":["800x600","640x480"]}]})");
}

}  // namespace
