#include <gtest/gtest.h>

#include <string>

#include "config/application.h"
#include "config/configuration_parser.h"
#include "config_test_support.h"
#include "dwellwatch/dw_guard_factory.h"
#include "dwellwatch/dw_startup_configuration.h"

namespace {

const bool kDevice = configtest::runOnDevice(configtest::kTwoChannelDevice);

// On this product family the first channel is not a usable image: only the
// second camera starts active, yet every channel gets a default profile.
TEST(DW_TwoChannelConfiguration, DefaultDocumentActivatesTheSecondCamera) {
    const std::string path = std::string(configtest::kConfigurationDirectory) + "/two.json";
    const std::string text = DW_StartupConfiguration::loadOrCreate(path);
    EXPECT_NE(text.find(R"("cameras": [{"id": 1, "active": false, "rotation": 0}, )"
                        R"({"id": 2, "active": true, "rotation": 0}])"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(R"("uid": 1, "camera": 1, "name": "Profile 1"}, )"), std::string::npos);
    EXPECT_NE(text.find(R"("uid": 2, "camera": 2, "name": "Profile 1"}])"), std::string::npos);

    ConfigurationParser<DW_GuardFactory> parser;
    parser.parse(text, Application::getDataBoundaries());
    ASSERT_EQ(parser.status(), STATUS_OK);
    const CameraConfigurationContainer container = parser.createConfigurations();
    ASSERT_EQ(container.getConfigurations().size(), 1u);
    EXPECT_NE(container.getConfiguration(2)->getGuard(2), nullptr);
}

}  // namespace
