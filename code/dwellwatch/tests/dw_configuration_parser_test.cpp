#include <gtest/gtest.h>

#include <string>

#include "config/application.h"
#include "config/configuration_parser.h"
#include "config_test_support.h"
#include "dwellwatch/dw_guard_factory.h"

namespace {

const bool kDevice = configtest::runOnDevice(configtest::kSingleChannelDevice);

std::string profile(int uid, const std::string& filters, const std::string& conditions) {
    return R"({"name": "Profile )" + std::to_string(uid) + R"(", "uid": )" + std::to_string(uid) +
           R"(, "camera": 1, "filters": )" + filters +
           R"(, "triggers": [{"type": "loiteringArea",
                "data": [[-0.5, -0.5], [-0.5, 0.5], [0.5, 0.5], [0.5, -0.5]],
                "conditions": )" +
           conditions + "}]}";
}

const std::string kIndividual = R"([{"type": "individual", "data": 10, "active": true}])";

std::string document(bool cameraActive, const std::string& profiles) {
    return std::string(R"({"params": {"cameras": [{"id": 1, "active": )") +
           (cameraActive ? "true" : "false") + R"(, "rotation": 0}], "profiles": [)" + profiles +
           "]}}";
}

TEST(DW_ConfigurationParser, EveryProfileOfAnActiveCameraGetsItsGuard) {
    ConfigurationParser<DW_GuardFactory> parser;
    parser.parse(
        document(true, profile(3, "[]", kIndividual) + ", " + profile(8, "[]", kIndividual)),
        Application::getDataBoundaries());
    ASSERT_EQ(parser.status(), STATUS_OK);
    CameraConfigurationContainer container = parser.createConfigurations();
    const CameraConfiguration* camera = container.getConfiguration(1);
    ASSERT_NE(camera, nullptr);
    ASSERT_EQ(camera->getGuards().size(), 2u);
    EXPECT_EQ(camera->getGuards()[0]->getId(), 3);
    EXPECT_NE(camera->getGuard(8), nullptr);

    parser.parse(document(false, profile(3, "[]", kIndividual)), Application::getDataBoundaries());
    ASSERT_EQ(parser.status(), STATUS_OK);
    EXPECT_TRUE(parser.createConfigurations().getConfigurations().empty());
}

// The first broken profile gives the code; every broken profile logs its fault.
TEST(DW_ConfigurationParser, BrokenProfilesLogTheirFaultsAndTheFirstGivesTheCode) {
    const std::string profiles =
        profile(1, "[]", kIndividual) + ", " +
        profile(2, R"([{"type": "distanceSwayingObject", "data": 2, "active": true}])",
                kIndividual) +
        ", " + profile(3, "[]", R"([{"type": "individual", "data": 10, "active": false}])");
    ConfigurationParser<DW_GuardFactory> parser;
    configtest::LogCapture log;
    parser.parse(document(true, profiles), Application::getDataBoundaries());
    const std::string logged = log.take();
    EXPECT_EQ(parser.status(), STATUS_INVALID_PARAMETER);
    const auto first = logged.find("Incorrect parameter value for swaying filter percent\n");
    const auto second = logged.find("There must be at least one active trigger condition\n");
    const auto verdict = logged.find("A guard factory is not ok\n");
    ASSERT_NE(first, std::string::npos) << logged;
    ASSERT_NE(second, std::string::npos) << logged;
    EXPECT_LT(first, second);
    EXPECT_LT(second, verdict);
}

}  // namespace
