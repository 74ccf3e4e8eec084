#include "config/configuration_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/persistent_config_handler.h"
#include "config/application.h"
#include "config/json_auto_ptr.h"
#include "config/json_parser.h"
#include "config_test_support.h"
#include "fake_guard_factory.h"

namespace {

using configtest::FakeGuardFactory;

const bool kDevice = configtest::runOnDevice(configtest::kSingleChannelDevice);

std::string document(const std::string& cameras, const std::string& profiles) {
    return R"({"apiVersion": "1.4", "method": "setConfiguration", "params": {"cameras": )" +
           cameras + R"(, "profiles": )" + profiles + "}}";
}

const std::string kCamera = R"([{"id": 1, "active": true, "rotation": 0}])";

std::string profile(int uid, const std::string& extra = "") {
    return R"({"uid": )" + std::to_string(uid) + R"(, "camera": 1)" + extra + "}";
}

std::string profiles(int count) {
    std::string list = "[";
    for (int uid = 1; uid <= count; ++uid) {
        list += (uid > 1 ? ", " : "") + profile(uid);
    }
    return list + "]";
}

class ConfigurationParserTest : public ::testing::Test {
  protected:
    void SetUp() override { FakeGuardFactory::s_built.clear(); }

    // Parses the text and returns the log written meanwhile.
    std::string parse(const std::string& text) {
        configtest::LogCapture log;
        parser.parse(text, Application::getDataBoundaries());
        return log.take();
    }

    void expectFailure(const std::string& text, StatusCode_e code, const std::string& message) {
        SCOPED_TRACE(text);
        const std::string log = parse(text);
        EXPECT_EQ(parser.status(), code);
        const auto logged = log.find(message + "\n");
        ASSERT_NE(logged, std::string::npos) << log;
        // The input follows the message, for finding the fault in the document.
        EXPECT_NE(log.find(text + "\n", logged), std::string::npos) << log;
    }

    ConfigurationParser<FakeGuardFactory> parser;
};

TEST_F(ConfigurationParserTest, StartsAndClearsToBadJson) {
    EXPECT_EQ(parser.status(), STATUS_BAD_JSON);
    parse(document(kCamera, profiles(1)));
    EXPECT_EQ(parser.status(), STATUS_OK);
    parser.clear();
    EXPECT_EQ(parser.status(), STATUS_BAD_JSON);
}

TEST_F(ConfigurationParserTest, DocumentAndCameraFaultsGiveTheirCodesAndMessages) {
    const std::string profilesText = profiles(1);
    expectFailure("{\"params\": ", STATUS_BAD_JSON, "Unable to decode Json: ");
    expectFailure(R"({"method": "setConfiguration"})", STATUS_MISSING_PARAMETER,
                  "Could not get 'params': ");
    expectFailure(R"({"params": {"profiles": []}})", STATUS_MISSING_PARAMETER,
                  "Could not get 'cameras': ");
    expectFailure(R"({"params": 7})", STATUS_MISSING_PARAMETER, "Could not get 'cameras': ");
    expectFailure(document("[]", "[]"), STATUS_MISSING_PARAMETER, "No cameras found");
    expectFailure(document(R"([{"id": 1, "active": true}])", "[]"), STATUS_MISSING_PARAMETER,
                  "Could not unpack data for the camera");
    expectFailure(document(R"([{"id": 1, "active": 1, "rotation": 0}])", "[]"),
                  STATUS_MISSING_PARAMETER, "Could not unpack data for the camera");
    expectFailure(document(R"([{"id": 1, "active": true, "rotation": 45}])", "[]"),
                  STATUS_INVALID_PARAMETER, "Invalid rotation parameter in configuration file");
    expectFailure(document(R"([{"id": 2, "active": true, "rotation": 0}])", "[]"),
                  STATUS_INVALID_PARAMETER, "Invalid camera id parameter in configuration file");
    expectFailure(document(R"([{"id": 1, "active": true, "rotation": 0},
                               {"id": 2, "active": true, "rotation": 0}])",
                           "[]"),
                  STATUS_INVALID_PARAMETER,
                  "The configuration contains more cameras than device supports");
    expectFailure(document(kCamera, R"({"uid": 1})"), STATUS_MISSING_PARAMETER,
                  "Could not get 'profiles': ");
}

// Camera ids count from 1; a camera 0 would watch no channel and publish nothing.
TEST_F(ConfigurationParserTest, CameraIdZeroIsRefused) {
    expectFailure(document(R"([{"id": 0, "active": true, "rotation": 0}])", "[]"),
                  STATUS_INVALID_PARAMETER, "Invalid camera id parameter in configuration file");
}

TEST_F(ConfigurationParserTest, ProfileFaultsGiveTheirCodesAndMessages) {
    expectFailure(document(kCamera, R"([{"uid": 1}])"), STATUS_MISSING_PARAMETER,
                  "Missing camera id parameter");
    expectFailure(document(kCamera, R"([{"uid": 1, "camera": "1"}])"), STATUS_MISSING_PARAMETER,
                  "Missing camera id parameter");
    expectFailure(document(kCamera, R"([{"uid": 1, "camera": 2}])"), STATUS_INVALID_PARAMETER,
                  "Found invalid rotation for a camera");
    expectFailure(document(kCamera, "[" + profile(4) + ", " + profile(4) + "]"),
                  STATUS_CONTRADICTION, "Found profiles with the same uid");
}

TEST_F(ConfigurationParserTest, TheFirstBrokenFactoryInDocumentOrderGivesTheCode) {
    const std::string list = "[" + profile(1) + ", " + profile(2, R"(, "status": 32)") + ", " +
                             profile(3, R"(, "status": 8)") + "]";
    expectFailure(document(kCamera, list), STATUS_CONTRADICTION, "A guard factory is not ok");
    // Every profile still got its factory, so each could log its own fault.
    EXPECT_EQ(FakeGuardFactory::s_built.size(), 3u);
}

TEST_F(ConfigurationParserTest, TenProfilesPerCameraAreAllowedOnASingleChannelDevice) {
    parse(document(kCamera, profiles(10)));
    EXPECT_EQ(parser.status(), STATUS_OK);
    expectFailure(document(kCamera, profiles(11)), STATUS_TOO_MANY_PROFILES,
                  "A camera has too many profiles attached to it");
}

TEST_F(ConfigurationParserTest, FactoriesGetTheRotationOfTheirCamera) {
    parse(document(R"([{"id": 1, "active": true, "rotation": 270}])", profiles(2)));
    ASSERT_EQ(FakeGuardFactory::s_built.size(), 2u);
    EXPECT_EQ(FakeGuardFactory::s_built[0].uid, 1);
    EXPECT_EQ(FakeGuardFactory::s_built[1].rotation, 270);
}

TEST_F(ConfigurationParserTest, WithoutProfilesEveryCameraIsInactive) {
    parse(document(R"([{"id": 1, "active": true, "rotation": 90}])", "[]"));
    ASSERT_EQ(parser.status(), STATUS_OK);
    const CameraConfigurationContainer container = parser.createConfigurations();
    EXPECT_TRUE(container.getConfigurations().empty());
    // The overlay still knows every camera.
    EXPECT_EQ(container.getAlarmOverlay().streamSettingsByCamera.at(1),
              StreamSettings(-1, -1, 90, false));
}

TEST_F(ConfigurationParserTest, ActiveCamerasWithProfilesGetAConfiguration) {
    parse(document(R"([{"id": 1, "active": true, "rotation": 180}])", profiles(1)));
    const CameraConfigurationContainer active = parser.createConfigurations();
    ASSERT_NE(active.getConfiguration(1), nullptr);
    EXPECT_EQ(active.getConfiguration(1)->getRotation(), 180);

    parse(document(R"([{"id": 1, "active": false, "rotation": 0}])", profiles(1)));
    EXPECT_EQ(parser.status(), STATUS_OK);
    EXPECT_EQ(parser.createConfigurations().getConfiguration(1), nullptr);
}

TEST_F(ConfigurationParserTest, OverlayResolutionOfferedMalformedOrUnoffered) {
    const auto overlayOf = [this](const std::string& resolution) {
        parse(document(R"([{"id": 1, "active": true, "rotation": 90, "overlayResolution": ")" +
                           resolution + R"("}])",
                       profiles(1)));
        EXPECT_EQ(parser.status(), STATUS_OK) << resolution;
        return parser.createConfigurations().getAlarmOverlay().streamSettingsByCamera.at(1);
    };
    EXPECT_EQ(overlayOf("1280x720"), StreamSettings(1280, 720, 90, false));
    // Well formed but not offered: accepted without a size.
    EXPECT_EQ(overlayOf("1x2"), StreamSettings(0, 0, 90, false));

    const std::string invalid =
        "Chosen overlayResolution is invalid, should be on format width x height";
    for (const char* resolution : {"0x480", "640", "640x480x2", "x480"}) {
        const std::string text = document(
            std::string(R"([{"id": 1, "active": true, "rotation": 0, "overlayResolution": ")") +
                resolution + R"("}])",
            "[]");
        expectFailure(text, STATUS_INVALID_PARAMETER, invalid);
    }
    expectFailure(document(R"([{"id": 1, "active": true, "rotation": 0,
                               "overlayResolution": 1280}])",
                           "[]"),
                  STATUS_MISSING_PARAMETER, "Failed to parse overlayResolution");
}

TEST_F(ConfigurationParserTest, AlarmOverlayNeedsTheCameraOverlaySize) {
    const std::string overlayProfiles = "[" + profile(1, R"(, "alarmOverlayEnabled": true)") +
                                        ", " + profile(2) + ", " +
                                        profile(3, R"(, "alarmOverlayEnabled": true)") + "]";
    expectFailure(document(kCamera, overlayProfiles), STATUS_CONTRADICTION,
                  "Invalid alarm overlay parameters");

    parse(document(R"([{"id": 1, "active": true, "rotation": 0,
                       "overlayResolution": "640x360"}])",
                   overlayProfiles));
    ASSERT_EQ(parser.status(), STATUS_OK);
    EXPECT_EQ(parser.createConfigurations().getAlarmOverlay().profileIds, (std::vector<int>{1, 3}));
}

// Members the program does not know survive storing and loading the document.
TEST_F(ConfigurationParserTest, UnknownMembersAreKeptAcrossSaveAndLoad) {
    const std::string text =
        document(R"([{"id": 1, "active": true, "rotation": 0, "lens": {"zoom": 2.5}}])",
                 "[" + profile(1, R"(, "colour": "teal")") + "]");
    JsonAutoPtr stored(JsonParser::decode(text));
    json_object_set_new(stored.get(), "owner", json_string("site 4"));
    const std::string path = std::string(configtest::kConfigurationDirectory) + "/unknown.json";
    ASSERT_TRUE(PersistentConfigHandler::save(stored.get(), path));

    const std::string loaded = PersistentConfigHandler::load(path);
    parse(loaded);
    EXPECT_EQ(parser.status(), STATUS_OK);
    JsonAutoPtr reloaded(JsonParser::decode(loaded));
    EXPECT_TRUE(json_equal(reloaded.get(), stored.get()));
}

}  // namespace
