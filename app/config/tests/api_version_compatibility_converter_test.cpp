#include "config/api_version_compatibility_converter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "config/application.h"
#include "config/json_auto_ptr.h"
#include "config/json_parser.h"
#include "config_test_support.h"
#include "temporary_root.h"

namespace {

const std::string kConfigurationPath = "/usr/local/packages/dwellwatch/localdata/config.json";

// The stored configuration: camera 1 and profile 1 carry every member that
// older clients do not know, camera 2 and profile 2 only some.
const char* const kStored = R"({"apiVersion": "1.4", "method": "setConfiguration", "params": {
    "cameras": [{"id": 1, "active": true, "rotation": 0, "overlayResolution": "1280x720"},
                {"id": 2, "active": true, "rotation": 0}],
    "profiles": [{"uid": 1, "camera": 1, "alarmOverlayEnabled": true, "presets": [3]},
                 {"uid": 2, "camera": 2, "alarmOverlayEnabled": false}],
    "configurationStatus": 4}})";

// A request that sets every member, for cameras and profiles that are stored
// (ids 1 and 2) and one that is not (id 3, uid 5).
std::string request(const std::string& version) {
    return R"({"apiVersion": ")" + version + R"(", "context": "c", "method": "setConfiguration",
    "params": {
    "cameras": [{"id": 1, "active": true, "overlayResolution": "640x360", "rotation": 90},
                {"id": 2, "active": false, "rotation": 0, "overlayResolution": "800x600"},
                {"id": 3, "active": true, "rotation": 0, "overlayResolution": "1x1"}],
    "profiles": [{"uid": 1, "camera": 1, "alarmOverlayEnabled": false, "presets": [7]},
                 {"uid": 2, "camera": 2, "presets": []},
                 {"uid": 5, "camera": 3, "alarmOverlayEnabled": true, "presets": [1]}]}})";
}

// The request after conversion, given its overlay and preset members.
std::string converted(const std::string& cameraOverlays, const std::string& profileMembers) {
    return R"({"apiVersion": "1.4", "context": "c", "method": "setConfiguration", "params": {)" +
           cameraOverlays + ", " + profileMembers + "}}";
}

const std::string kStoredOverlays =
    R"("cameras": [{"id": 1, "active": true, "rotation": 90, "overlayResolution": "1280x720"},
                   {"id": 2, "active": false, "rotation": 0},
                   {"id": 3, "active": true, "rotation": 0}])";
const std::string kRequestOverlays =
    R"("cameras": [{"id": 1, "active": true, "rotation": 90, "overlayResolution": "640x360"},
                   {"id": 2, "active": false, "rotation": 0, "overlayResolution": "800x600"},
                   {"id": 3, "active": true, "rotation": 0, "overlayResolution": "1x1"}])";

class VersionConverter : public ::testing::Test {
  protected:
    void storeConfiguration(const std::string& text) { m_root.writeFile(kConfigurationPath, text); }

    std::string convert(const std::string& text) {
        return m_converter.handleOlderAPI_Versions(text, Application::getApiVersionHandler(),
                                                   kConfigurationPath);
    }

    // The text is a JSON document equal to the expected one.
    static void expectDocument(const std::string& text, const std::string& expected) {
        const JsonAutoPtr actual(JsonParser::decode(text));
        const JsonAutoPtr wanted(JsonParser::decode(expected));
        ASSERT_TRUE(actual) << text;
        ASSERT_TRUE(wanted) << expected;
        EXPECT_TRUE(json_equal(actual.get(), wanted.get())) << text;
    }

    camlet::testing::TemporaryRoot m_root;
    API_VersionCompatibilityConverter m_converter;
};

TEST_F(VersionConverter, Version1_2TakesTheAlarmOverlayMembersFromTheStoredDocument) {
    storeConfiguration(kStored);
    expectDocument(convert(request("1.2")), converted(kStoredOverlays, R"("profiles": [
                       {"uid": 1, "camera": 1, "presets": [7], "alarmOverlayEnabled": true},
                       {"uid": 2, "camera": 2, "presets": [], "alarmOverlayEnabled": false},
                       {"uid": 5, "camera": 3, "presets": [1]}])"));
    EXPECT_EQ(m_converter.status(), STATUS_OK);
}

TEST_F(VersionConverter, Version1_1ConvertsTheAlarmOverlayMembersOnly) {
    storeConfiguration(kStored);
    expectDocument(convert(request("1.1")), converted(kStoredOverlays, R"("profiles": [
                       {"uid": 1, "camera": 1, "presets": [7], "alarmOverlayEnabled": true},
                       {"uid": 2, "camera": 2, "presets": [], "alarmOverlayEnabled": false},
                       {"uid": 5, "camera": 3, "presets": [1]}])"));
    EXPECT_EQ(m_converter.status(), STATUS_OK);
}

TEST_F(VersionConverter, Version1_0AlsoKeepsTheStoredPresets) {
    storeConfiguration(kStored);
    expectDocument(convert(request("1.0")), converted(kStoredOverlays, R"("profiles": [
                       {"uid": 1, "camera": 1, "alarmOverlayEnabled": true, "presets": [3]},
                       {"uid": 2, "camera": 2, "alarmOverlayEnabled": false},
                       {"uid": 5, "camera": 3}])"));
    EXPECT_EQ(m_converter.status(), STATUS_OK);
}

TEST_F(VersionConverter, Version1_3OnlyRewritesTheVersionAndNeedsNoStoredDocument) {
    expectDocument(convert(request("1.3")), converted(kRequestOverlays, R"("profiles": [
                       {"uid": 1, "camera": 1, "alarmOverlayEnabled": false, "presets": [7]},
                       {"uid": 2, "camera": 2, "presets": []},
                       {"uid": 5, "camera": 3, "alarmOverlayEnabled": true, "presets": [1]}])"));
    EXPECT_EQ(m_converter.status(), STATUS_OK);

    // The current version passes through, compact and in its own order.
    EXPECT_EQ(convert(R"({"params": {"x": 0.5}, "apiVersion": "1.4", "method": "m"})"),
              R"({"params":{"x":0.5},"apiVersion":"1.4","method":"m"})");
    EXPECT_EQ(m_converter.status(), STATUS_OK);
}

struct Failure {
    const char* request;
    const char* stored;  // null: no stored file
    StatusCode_e status;
    const char* message;
};

TEST_F(VersionConverter, FailuresLeaveAnEmptyResultTheirStatusAndALogEntry) {
    const std::string storedWithoutProfiles =
        R"({"params": {"cameras": [{"id": 1, "active": true, "rotation": 0}]}})";
    const Failure failures[] = {
        {R"({"apiVersion": "1.2",)", kStored, STATUS_BAD_JSON, "Unable to decode Json: "},
        {R"({"method": "setConfiguration", "params": {}})", kStored, STATUS_MISSING_PARAMETER,
         "Failed to parse apiVersion"},
        {R"({"apiVersion": 1.2, "params": {}})", kStored, STATUS_MISSING_PARAMETER,
         "Failed to parse apiVersion"},
        {R"({"apiVersion": "1.9", "params": {}})", kStored, STATUS_VERSION_NOT_SUPPORTED,
         "The apiVersion 1.9 of the request is not supported"},
        {R"({"apiVersion": "2.0", "params": {}})", kStored, STATUS_VERSION_NOT_SUPPORTED, "2.0"},
        {R"({"apiVersion": "one", "params": {}})", kStored, STATUS_VERSION_NOT_SUPPORTED, "one"},
        {R"({"apiVersion": "1.2", "params": {"cameras": [], "profiles": []}})", nullptr,
         STATUS_READ_FAILED, "Could not read the configuration file"},
        {R"({"apiVersion": "1.2"})", kStored, STATUS_MISSING_PARAMETER,
         "Could not read 'params' from configuration"},
        {R"({"apiVersion": "1.2", "params": {"profiles": []}})", kStored, STATUS_MISSING_PARAMETER,
         "Could not read 'cameras' from old configuration"},
        {R"({"apiVersion": "1.2", "params": {"cameras": [], "profiles": []}})",
         storedWithoutProfiles.c_str(), STATUS_MISSING_PARAMETER,
         "Could not read 'profiles' from configuration"},
        {R"({"apiVersion": "1.2", "params": {"cameras": [{"active": true}], "profiles": []}})",
         kStored, STATUS_MISSING_PARAMETER, "Failed to parse key: id"},
        {R"({"apiVersion": "1.0", "params": {"cameras": [], "profiles": [{"uid": "1"}]}})", kStored,
         STATUS_MISSING_PARAMETER, "Failed to parse key: uid"},
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.request);
        if (failure.stored != nullptr) {
            storeConfiguration(failure.stored);
        } else {
            std::remove((m_root.path() + kConfigurationPath).c_str());
        }
        configtest::LogCapture log;
        EXPECT_EQ(convert(failure.request), "");
        EXPECT_EQ(m_converter.status(), failure.status);
        const std::string logged = log.take();
        EXPECT_NE(logged.find(failure.message), std::string::npos) << logged;
        EXPECT_NE(logged.find(failure.request), std::string::npos) << logged;
    }
}

}  // namespace
