#include <gtest/gtest.h>

#include <string>

#include "base/status_exception.h"
#include "config/application.h"
#include "config/cgi_pack.h"
#include "config/json_parser.h"
#include "config_test_support.h"

namespace {

const bool kDevice = configtest::runOnDevice(configtest::kSingleChannelDevice);

std::string text(const JsonAutoPtr& value) {
    return JsonParser::dumpJsonToString(value.get());
}

template <typename Builder>
void expectInternalError(Builder builder, const std::string& message) {
    try {
        builder();
        ADD_FAILURE() << "nothing thrown, expected " << message;
    } catch (const StatusException& e) {
        EXPECT_EQ(e.what(), message);
        EXPECT_EQ(e.getStatusCode(), STATUS_INTERNAL);
    }
}

TEST(Capabilities, AlarmOverlayListsTheOfferedResolutionsOfTheImageAspect) {
    EXPECT_EQ(text(CGI_Pack::alarmOverlay(false)), R"({"isSupported":false})");
    // 800x600 is not 16:9.
    EXPECT_EQ(text(CGI_Pack::alarmOverlay(true)),
              R"({"isSupported":true,"maxNbrActiveCameras":1,"cameras":[{"id":1,)"
              R"("availableResolutions":["1920x1080","1280x720","640x360"]}]})");
}

TEST(Capabilities, MissingRecordsAreInternalErrors) {
    const DataBoundaries noBoundaries(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    const DefaultValues noDefaults(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    const DefaultValues& defaults = Application::getDefaultValues();

    expectInternalError([&] { CGI_Pack::swayingFilter(noDefaults); },
                        "Missing default values for the swaying filter");
    expectInternalError([&] { CGI_Pack::swayingFilter(noBoundaries, defaults); },
                        "Missing boundary values for the swaying filter");
    expectInternalError([&] { CGI_Pack::groupCondition(noBoundaries, defaults); },
                        "Missing boundary values for the loitering area");
    expectInternalError([&] { CGI_Pack::profiles(noBoundaries); },
                        "Missing boundary values for the profiles");
    expectInternalError([&] { CGI_Pack::motionLevel(noDefaults); },
                        "Missing supported capabilities value.");
    expectInternalError([&] { CGI_Pack::presets(noBoundaries, defaults); },
                        "Missing boundaries values for the presets");
}

}  // namespace
