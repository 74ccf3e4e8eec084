#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <utility>

#include "base/persistent_config_handler.h"
#include "cgi/cgi_callback.h"
#include "config/application.h"
#include "config/configuration_parser.h"
#include "config/json_parser.h"
#include "config_test_support.h"
#include "dwellwatch/dw_cgi_handler.h"
#include "dwellwatch/dw_guard_factory.h"
#include "dwellwatch/dw_startup_configuration.h"

namespace {

const bool kDevice = configtest::runOnDevice(configtest::kSingleChannelDevice);
const std::string kConfigurationPath =
    std::string(configtest::kConfigurationDirectory) + "/config.json";

// A camera that receives no frames: enough to hold guards.
class IdleCamera : public Camera {
  public:
    using Camera::Camera;
    void handleMoteData(char* /*frame*/) override {}
};

class IdleCameraContainer : public CameraContainer {
  public:
    IdleCameraContainer() : CameraContainer(API_VersionHandler(kSceneVersions, 2), 14) {}

    // Camera 1's visual confirmation; none without the camera.
    Camera::VC_Data visualConfirmation() {
        Lock lock(s_mutex);
        Camera* camera = findCamera(1);
        return camera != nullptr ? camera->getVC_Data() : Camera::VC_Data();
    }

  protected:
    std::unique_ptr<Camera> createCamera(int cameraId, int rotation,
                                         const API_VersionHandler& versions, int mask) override {
        return std::make_unique<IdleCamera>(cameraId, rotation, versions, mask);
    }
    void shutDownSub() override {}

  private:
    static constexpr const char* kSceneVersions[] = {"1.0", "1.1"};
};

std::string profile(int uid, int individualSeconds = 10) {
    return R"({"name": "Profile )" + std::to_string(uid) + R"(", "uid": )" + std::to_string(uid) +
           R"(, "camera": 1, "filters": [], "alarmOverlayEnabled": false,
              "triggers": [{"type": "loiteringArea",
                "data": [[-0.5, -0.5], [-0.5, 0.5], [0.5, 0.5], [0.5, -0.5]],
                "conditions": [{"type": "individual", "data": )" +
           std::to_string(individualSeconds) + R"(, "active": true}]}]})";
}

std::string setRequest(const std::string& version, const std::string& profiles,
                       const std::string& cameraExtra = "") {
    return R"({"apiVersion": ")" + version +
           R"(", "method": "setConfiguration", "context": "ctx", "params": {"cameras": [{"id": 1, "active": true, "rotation": 0)" +
           cameraExtra + R"(}], "profiles": [)" + profiles + "]}}";
}

std::string request(const std::string& method, const std::string& params = "{}") {
    return R"({"apiVersion": "1.4", "method": ")" + method + R"(", "params": )" + params + "}";
}

class DW_CGI_HandlerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(kDevice);
        configtest::root().writeFile(kConfigurationPath, "");
        DW_StartupConfiguration::loadOrCreate(kConfigurationPath);
    }

    // The decoded answer to a request.
    JsonAutoPtr ask(const std::string& text) {
        const std::string body = CGI_Callback::createAnswer(m_handler, text);
        JsonAutoPtr answer(JsonParser::decode(body));
        EXPECT_TRUE(answer) << body;
        return answer;
    }
    static std::string errorCode(const JsonAutoPtr& answer) {
        const char* code =
            json_string_value(json_object_get(json_object_get(answer.get(), "error"), "code"));
        return code != nullptr ? code : "none";
    }
    static std::string text(const json_t* value, const char* key) {
        const char* member = json_string_value(json_object_get(value, key));
        return member != nullptr ? member : "none";
    }
    static std::string stored() { return PersistentConfigHandler::load(kConfigurationPath); }

    IdleCameraContainer m_cameras;
    ConfigurationParser<DW_GuardFactory> m_parser;
    DW_CGI_Handler m_handler{m_cameras,
                             Application::getApiVersionHandler(),
                             kConfigurationPath,
                             Application::getDataBoundaries(),
                             Application::getDefaultValues(),
                             m_parser};
};

TEST_F(DW_CGI_HandlerTest, EnvelopeErrorsAreAnsweredWithoutCallingAMethod) {
    const std::string before = stored();
    EXPECT_EQ(errorCode(ask(R"({"apiVersion": "1.4", "method": )")), "2001");
    const JsonAutoPtr noMethod = ask(R"({"apiVersion": "1.4", "context": "c"})");
    EXPECT_EQ(errorCode(noMethod), "2003");
    EXPECT_EQ(text(noMethod.get(), "method"), "");
    EXPECT_EQ(text(noMethod.get(), "apiVersion"), "1.4");
    EXPECT_EQ(errorCode(ask(R"({"method": "getConfiguration"})")), "2003");
    EXPECT_EQ(errorCode(ask(R"({"apiVersion": "1.9", "method": "getConfiguration"})")), "2000");
    EXPECT_EQ(errorCode(ask(request("missingMethod"))), "2003");
    EXPECT_EQ(errorCode(ask(request("deleteEverything"))), "2005");
    EXPECT_EQ(errorCode(ask("{\"apiVersion\": \"1.4\", \"method\": \"x\xc3\x28\"}")), "2001");
    EXPECT_EQ(
        errorCode(ask(R"({"apiVersion": "1.9", "method": "setConfiguration", "params": {}})")),
        "2000");
    EXPECT_EQ(stored(), before);
}

TEST_F(DW_CGI_HandlerTest, AnswersEchoTheHeaderAndRepairTrailingBytes) {
    const JsonAutoPtr answer = ask(
        R"({"apiVersion": "1.2", "method": "getSupportedVersions", "context": "abc"} trailing})");
    EXPECT_EQ(text(answer.get(), "apiVersion"), "1.4");
    EXPECT_EQ(text(answer.get(), "method"), "getSupportedVersions");
    EXPECT_EQ(text(answer.get(), "context"), "abc");
    EXPECT_EQ(JsonParser::dumpJsonToString(json_object_get(answer.get(), "data")),
              R"({"apiVersions":["1.0","1.1","1.2","1.3","1.4"]})");
}

TEST_F(DW_CGI_HandlerTest, SuccessfulSetsAreStoredAppliedAndCounted) {
    EXPECT_EQ(errorCode(ask(setRequest("1.4", profile(1)))), "none");
    const JsonAutoPtr second = ask(setRequest("1.4", profile(1) + ", " + profile(2)));
    EXPECT_EQ(errorCode(second), "none");
    EXPECT_EQ(JsonParser::dumpJsonToString(json_object_get(second.get(), "data")), "{}");
    EXPECT_EQ(PersistentConfigHandler::getConfigurationStatus(kConfigurationPath), 2);
    EXPECT_TRUE(m_cameras.doesProfileExist(2));

    const JsonAutoPtr got = ask(request("getConfiguration"));
    const json_t* data = json_object_get(got.get(), "data");
    EXPECT_EQ(json_integer_value(json_object_get(data, "configurationStatus")), 2);
    EXPECT_EQ(json_array_size(json_object_get(data, "profiles")), 2u);
}

TEST_F(DW_CGI_HandlerTest, AnInvalidThirdProfileChangesNeitherFileNorCameras) {
    ASSERT_EQ(errorCode(ask(setRequest("1.4", profile(1)))), "none");
    const std::string before = stored();
    const JsonAutoPtr answer =
        ask(setRequest("1.4", profile(1) + ", " + profile(2) + ", " + profile(3, 9999)));
    EXPECT_EQ(errorCode(answer), "2004");
    EXPECT_EQ(stored(), before);
    EXPECT_TRUE(m_cameras.doesProfileExist(1));
    EXPECT_FALSE(m_cameras.doesProfileExist(2));
}

TEST_F(DW_CGI_HandlerTest, AValueThatCouldNotBeReadBackIsRefusedAndTheFileKept) {
    ASSERT_EQ(errorCode(ask(setRequest("1.4", profile(1)))), "none");
    const std::string before = stored();
    // Members the product does not read are stored all the same.
    std::string unreadable = setRequest("1.4", profile(2));
    unreadable.insert(unreadable.find("\"params\": {") + 11, R"("note": 1.7976e308, )");
    EXPECT_EQ(errorCode(ask(unreadable)), "2004");
    EXPECT_EQ(
        errorCode(ask(R"({"apiVersion": "1.4", "method": "setConfiguration", "context": -1.7976e308,
        "params": {"cameras": [{"id": 1, "active": true, "rotation": 0}], "profiles": []}})")),
        "2004");
    EXPECT_EQ(stored(), before);
    EXPECT_TRUE(m_cameras.doesProfileExist(1));
    EXPECT_EQ(errorCode(ask(request("getConfiguration"))), "none");
}

TEST_F(DW_CGI_HandlerTest, IntegersPastThirtyTwoBitsAreRefusedNotCut) {
    ASSERT_EQ(errorCode(ask(setRequest("1.4", profile(1)))), "none");
    const std::string before = stored();
    const std::string valid =
        setRequest("1.4", R"({"name": "P", "uid": 1, "camera": 1, "alarmOverlayEnabled": false,
        "filters": [{"type": "sizePercentage", "data": [5, 5], "active": true},
                    {"type": "distanceSwayingObject", "data": 5, "active": true}],
        "triggers": [{"type": "loiteringArea", "data": [[-0.5, -0.5], [-0.5, 0.5], [0.5, 0.5]],
          "conditions": [{"type": "individual", "data": 10, "active": true}]}]})");
    const struct {
        const char* from;
        const char* to;
    } extremes[] = {
        {R"("id": 1)", R"("id": 4294967297)"},
        {R"("rotation": 0)", R"("rotation": -9223372036854775808)"},
        {R"("uid": 1)", R"("uid": 9223372036854775807)"},
        {R"("camera": 1)", R"("camera": 4294967297)"},
        {R"("camera": 1)", R"("camera": 1, "xinternalEventDuration": 4297967296)"},
        {R"([5, 5])", R"([4294967301, 5])"},
        {R"("data": 5)", R"("data": 4294967301)"},
        {R"("data": 10)", R"("data": 4294967297)"},
    };
    for (const auto& extreme : extremes) {
        std::string request = valid;
        request.replace(request.find(extreme.from), std::strlen(extreme.from), extreme.to);
        EXPECT_EQ(errorCode(ask(request)), "2004") << extreme.to;
    }
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(errorCode(ask(valid)), "none");
}

// A number as a client may write it: near the ends of the double range, at
// full precision, or past 32 bits.
std::string anyNumber(std::mt19937& random) {
    static const char* const kExtremes[] = {"1.7976931348623157e308",
                                            "-1.79765e308",
                                            "2.2250738585072014e-308",
                                            "4.9e-324",
                                            "-0.0",
                                            "0.99996",
                                            "9223372036854775807",
                                            "-9223372036854775808",
                                            "4294967297"};
    char text[32];
    switch (random() % 3) {
        case 0:
            return kExtremes[random() % (sizeof kExtremes / sizeof kExtremes[0])];
        case 1:
            std::snprintf(text, sizeof text, "%.17g",
                          std::uniform_real_distribution<double>(-1.0, 1.0)(random));
            return text;
        default:
            std::snprintf(text, sizeof text, "%.9ge%d",
                          std::uniform_real_distribution<double>(1.0, 10.0)(random),
                          static_cast<int>(random() % 617) - 308);
            return text;
    }
}

// A coordinate a little off the base, or now and then any number.
std::string coordinate(double base, std::mt19937& random) {
    if (random() % 8 == 0) {
        return anyNumber(random);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.17g",
                  base + std::uniform_real_distribution<double>(-0.05, 0.05)(random));
    return text;
}

TEST_F(DW_CGI_HandlerTest, AnAcceptedConfigurationReadsBackTheSameAfterARestart) {
    std::mt19937 random(20261208);
    int accepted = 0;
    for (int i = 0; i < 60; ++i) {
        // The area's corners near (±0.5, ±0.5) at full precision, now and then extreme.
        std::string area;
        for (const auto& corner : {std::pair(-0.5, -0.5), {-0.5, 0.5}, {0.5, 0.5}, {0.5, -0.5}}) {
            const std::string x = coordinate(corner.first, random);
            const std::string y = coordinate(corner.second, random);
            area += (area.empty() ? "[" : ", [") + x + ", " + y + "]";
        }
        std::string text = setRequest("1.4", profile(1));
        text.replace(text.find("[-0.5, -0.5], [-0.5, 0.5], [0.5, 0.5], [0.5, -0.5]"), 50, area);
        text.insert(text.find("\"params\": {") + 11, "\"note\": " + anyNumber(random) + ", ");
        const std::string before = stored();
        if (errorCode(ask(text)) != "none") {
            EXPECT_EQ(stored(), before) << text;
            continue;
        }
        ++accepted;
        const std::string answer =
            JsonParser::dumpJsonToString(ask(request("getConfiguration")).get());

        // A restart loads, accepts and answers from the stored text alone.
        const std::string restarted = DW_StartupConfiguration::loadOrCreate(kConfigurationPath);
        ConfigurationParser<DW_GuardFactory> parser;
        parser.parse(restarted, Application::getDataBoundaries());
        EXPECT_EQ(parser.status(), STATUS_OK) << text;
        EXPECT_EQ(JsonParser::dumpJsonToString(ask(request("getConfiguration")).get()), answer)
            << text;
    }
    EXPECT_GT(accepted, 20);
}

TEST_F(DW_CGI_HandlerTest, OlderRequestsAreBroughtToTheCurrentVersion) {
    ASSERT_EQ(errorCode(ask(setRequest("1.4", profile(1), R"(, "overlayResolution": "1280x720")"))),
              "none");
    const JsonAutoPtr answer =
        ask(setRequest("1.2", profile(1), R"(, "overlayResolution": "640x360")"));
    EXPECT_EQ(errorCode(answer), "none");
    EXPECT_EQ(text(answer.get(), "apiVersion"), "1.4");
    const JsonAutoPtr document(JsonParser::decode(stored()));
    EXPECT_EQ(text(document.get(), "apiVersion"), "1.4");
    const json_t* camera =
        json_array_get(json_object_get(json_object_get(document.get(), "params"), "cameras"), 0);
    EXPECT_EQ(text(camera, "overlayResolution"), "1280x720");

    EXPECT_EQ(errorCode(ask(setRequest("1.0", profile(1)))), "none");
    EXPECT_EQ(PersistentConfigHandler::getConfigurationStatus(kConfigurationPath), 3);
}

TEST_F(DW_CGI_HandlerTest, AlarmEventsNeedAnExistingProfile) {
    ASSERT_EQ(errorCode(ask(setRequest("1.4", profile(4)))), "none");
    EXPECT_EQ(errorCode(ask(request("sendAlarmEvent", R"({"profile": 4})"))), "none");
    EXPECT_EQ(errorCode(ask(request("sendAlarmEvent", R"({"profile": 5})"))), "2004");
    // A uid beyond the integer range is not cut down to one that exists.
    EXPECT_EQ(errorCode(ask(request("sendAlarmEvent", R"({"profile": 4294967300})"))), "2004");
    EXPECT_EQ(errorCode(ask(request("sendAlarmEvent", R"({"profile": "4"})"))), "2003");
    EXPECT_EQ(errorCode(ask(R"({"apiVersion": "1.4", "method": "sendAlarmEvent"})")), "2001");
}

TEST_F(DW_CGI_HandlerTest, MotionLevelIsNotOffered) {
    ASSERT_EQ(errorCode(ask(setRequest("1.4", profile(1)))), "none");
    EXPECT_EQ(errorCode(ask(request("startMotionLevel"))), "2005");
    EXPECT_EQ(errorCode(ask(request("stopMotionLevel"))), "2005");
    EXPECT_FALSE(m_cameras.isMotionLevelActive());
}

TEST_F(DW_CGI_HandlerTest, VisualConfirmationRunsForOneProfileAtATime) {
    ASSERT_EQ(errorCode(ask(setRequest("1.4", profile(1) + ", " + profile(2)))), "none");
    const auto start = [this](const std::string& params) {
        return errorCode(ask(request("startVisualConfirmation", params)));
    };
    const std::string transform = R"("transform": [1, 0, 0, 0, 1, 0, 0, 0, 1])";
    EXPECT_EQ(start(R"({"profile": 1})"), "2003");
    EXPECT_EQ(start(R"({"profile": 1, "transform": [1, 0, 0, 0, 1, 0, 0, 0]})"), "2003");
    EXPECT_EQ(start(R"({"transform": [1, 0, 0, 0, 1, 0, 0, 0, 1]})"), "2003");
    EXPECT_EQ(start("{\"profile\": 7, " + transform + "}"), "2002");
    EXPECT_FALSE(m_cameras.isVisualConfEnabled());

    EXPECT_EQ(start("{\"profile\": 1, " + transform + "}"), "none");
    EXPECT_EQ(m_cameras.getVisualConfIdNbr(), 1);
    // A singular matrix only loses the viewer's transform.
    // Profile 1 goes off: it would be found first.
    EXPECT_EQ(start(R"({"profile": 2, "transform": [0, 0, 0, 0, 0, 0, 0, 0, 0]})"), "none");
    EXPECT_EQ(m_cameras.getVisualConfIdNbr(), 2);
    EXPECT_EQ(m_cameras.visualConfirmation().id, R"svg(<g transform="matrix(1 0 0 -1 0 0)" >)svg");

    // A new configuration keeps it on for the same profile, and ends it with
    // the profile.
    ASSERT_EQ(errorCode(ask(setRequest("1.4", profile(2)))), "none");
    EXPECT_EQ(m_cameras.getVisualConfIdNbr(), 2);
    EXPECT_EQ(m_cameras.visualConfirmation().id, R"svg(<g transform="matrix(1 0 0 -1 0 0)" >)svg");
    ASSERT_EQ(errorCode(ask(setRequest("1.4", profile(1)))), "none");
    EXPECT_FALSE(m_cameras.isVisualConfEnabled());

    EXPECT_EQ(start("{\"profile\": 1, " + transform + "}"), "none");
    EXPECT_EQ(errorCode(ask(request("stopVisualConfirmation"))), "none");
    EXPECT_FALSE(m_cameras.isVisualConfEnabled());
    EXPECT_EQ(errorCode(ask(request("stopVisualConfirmation"))), "none");
}

TEST_F(DW_CGI_HandlerTest, CapabilitiesAndAMissingFile) {
    const JsonAutoPtr capabilities = ask(request("getConfigurationCapabilities"));
    const json_t* data = json_object_get(capabilities.get(), "data");
    EXPECT_EQ(json_array_size(json_object_get(data, "filters")), 3u);
    EXPECT_EQ(JsonParser::dumpJsonToString(json_object_get(data, "motionLevel")),
              R"({"isSupported":false})");

    configtest::root().writeFile(kConfigurationPath, "");
    EXPECT_EQ(errorCode(ask(request("getConfiguration"))), "1000");
    // Without a stored document an older request cannot be completed.
    EXPECT_EQ(errorCode(ask(setRequest("1.2", profile(1)))), "1000");
}

}  // namespace
