#include <gtest/gtest.h>

#include <string>

#include "config/application.h"
#include "config/configuration_capabilities.h"
#include "config/json_parser.h"
#include "config_test_support.h"
#include "dwellwatch/dw_capabilities.h"
#include "dwellwatch/dw_default_config_creator.h"
#include "dwellwatch/dw_guard_factory.h"
#include "scene_script.h"

namespace {

using guardtest::kSecond;

const bool kDevice = configtest::runOnDevice(configtest::kMechanicalPtzDevice);

JsonAutoPtr profileWithPresets(const std::string& presets) {
    std::string text = R"({"name": "Dock", "uid": 2, "camera": 1, "filters": [],
        "triggers": [{"type": "loiteringArea",
                      "data": [[-0.5, -0.5], [-0.5, 0.5], [0.5, 0.5], [0.5, -0.5]],
                      "conditions": [{"type": "individual", "data": 10, "active": true}]}])";
    if (!presets.empty()) {
        text += R"(, "presets": )" + presets;
    }
    return JsonAutoPtr(JsonParser::decode(text + "}"));
}

// Whether the guard evaluates a frame at the time (seconds).
bool evaluates(Guard& guard, guardtest::SceneScript& script, int64_t seconds) {
    return guard.checkObjects(script.frame(seconds * kSecond, {guardtest::square(1, 0, 0)})) !=
           nullptr;
}

TEST(DW_PtzConfiguration, DefaultProfileHasAnEmptyPresetList) {
    const JsonAutoPtr document =
        DW_DefaultConfigCreator(false).create(Application::getDefaultValues(), API_Version("1.4"));
    const json_t* profile =
        json_array_get(json_object_get(json_object_get(document.get(), "params"), "profiles"), 0);
    EXPECT_EQ(JsonParser::dumpJsonToString(json_object_get(profile, "presets")), "[]");
}

TEST(DW_PtzConfiguration, CapabilitiesOfferPresets) {
    const DataBoundaries& boundaries = Application::getDataBoundaries();
    const DefaultValues& defaults = Application::getDefaultValues();
    const JsonAutoPtr data = ConfigurationCapabilities::create(
        DW_Capabilities::createDefaultFilters(boundaries, defaults),
        DW_Capabilities::createDefaultTriggers(boundaries, defaults), boundaries, defaults, false);
    EXPECT_EQ(configtest::answerText(json_object_get(data.get(), "presets")),
              R"({"maxNbrPresetsPerProfile":1,"defaultPreset":-2})");
    EXPECT_EQ(json_integer_value(json_object_get(json_object_get(data.get(), "profiles"),
                                                 "maxNbrProfilesPerCamera")),
              10);
}

// A guard without a preset watches wherever the camera is; one bound to a
// preset only once the camera has arrived there.
TEST(DW_PtzConfiguration, GuardsAreBoundToTheirPreset) {
    const DataBoundaries& boundaries = Application::getDataBoundaries();
    for (const char* none : {"", "[]"}) {
        const DW_GuardFactory factory(*profileWithPresets(none).get(), 0, boundaries);
        ASSERT_EQ(factory.getStatus(), STATUS_OK);
        EXPECT_EQ(factory.getPresets(), std::vector<int>{-2});
        guardtest::SceneScript script;
        EXPECT_TRUE(evaluates(*factory.createGuard(), script, 1));
    }

    const DW_GuardFactory bound(*profileWithPresets("[3]").get(), 0, boundaries);
    ASSERT_EQ(bound.getStatus(), STATUS_OK);
    const std::unique_ptr<Guard> guard = bound.createGuard();
    guardtest::SceneScript script;
    EXPECT_FALSE(evaluates(*guard, script, 1));
    guard->handleArrivingAtPreset(3, 2 * kSecond);
    EXPECT_TRUE(evaluates(*guard, script, 3));
}

TEST(DW_PtzConfiguration, PresetRefusals) {
    const DataBoundaries& boundaries = Application::getDataBoundaries();
    configtest::LogCapture log;
    EXPECT_EQ(DW_GuardFactory(*profileWithPresets("[1, 2]").get(), 0, boundaries).getStatus(),
              STATUS_CONTRADICTION);
    EXPECT_EQ(DW_GuardFactory(*profileWithPresets(R"(["a"])").get(), 0, boundaries).getStatus(),
              STATUS_MISSING_PARAMETER);
    EXPECT_EQ(DW_GuardFactory(*profileWithPresets("4").get(), 0, boundaries).getStatus(),
              STATUS_MISSING_PARAMETER);
    const std::string logged = log.take();
    EXPECT_NE(logged.find("The configuration contains too many presets\n"), std::string::npos);
    EXPECT_NE(logged.find("Could not unpack preset number\n"), std::string::npos);
    EXPECT_NE(logged.find("Could not parse the preset\n"), std::string::npos);
}

}  // namespace
