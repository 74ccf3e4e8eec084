#include <gtest/gtest.h>

#include <string>

#include "base/persistent_config_handler.h"
#include "config/application.h"
#include "config/configuration_capabilities.h"
#include "config/configuration_parser.h"
#include "config/json_parser.h"
#include "config_test_support.h"
#include "dwellwatch/dw_capabilities.h"
#include "dwellwatch/dw_default_config_creator.h"
#include "dwellwatch/dw_guard_factory.h"
#include "dwellwatch/dw_startup_configuration.h"

namespace {

const bool kDevice = configtest::runOnDevice(configtest::kSingleChannelDevice);

// The default document as stored (real numbers with 4 significant digits).
const char* const kDefaultDocument =
    R"({"apiVersion": "1.4", "context": "", "method": "setConfiguration", "params": {)"
    R"("cameras": [{"id": 1, "active": true, "rotation": 0}], )"
    R"("profiles": [{"filters": [{"active": true, "data": [5, 5], "type": "sizePercentage"}, )"
    R"({"active": true, "data": 5, "type": "distanceSwayingObject"}], )"
    R"("triggers": [{"type": "loiteringArea", )"
    R"("data": [[-0.97, -0.97], [-0.97, 0.97], [0.97, 0.97], [0.97, -0.97]], )"
    R"("conditions": [{"type": "individual", "data": 120, "active": true}, )"
    R"({"type": "group", "data": 160, "active": false}]}], )"
    R"("uid": 1, "camera": 1, "name": "Profile 1"}], "configurationStatus": 0}})";

std::string configurationPath(const std::string& name) {
    return std::string(configtest::kConfigurationDirectory) + "/" + name;
}

TEST(DW_DefaultConfiguration, StartUpWritesTheDefaultDocumentWhenNoneIsStored) {
    const std::string path = configurationPath("fresh.json");
    const std::string text = DW_StartupConfiguration::loadOrCreate(path);
    EXPECT_EQ(text, kDefaultDocument);
    EXPECT_EQ(configtest::root().readFile(path), kDefaultDocument);

    ConfigurationParser<DW_GuardFactory> parser;
    parser.parse(text, Application::getDataBoundaries());
    EXPECT_EQ(parser.status(), STATUS_OK);
}

TEST(DW_DefaultConfiguration, StartUpKeepsAStoredDocumentAndReplacesAnUnreadableOne) {
    const std::string stored = configurationPath("stored.json");
    configtest::root().writeFile(stored, R"({"params": {"configurationStatus": 12}})");
    EXPECT_EQ(DW_StartupConfiguration::loadOrCreate(stored),
              R"({"params": {"configurationStatus": 12}})");
    EXPECT_EQ(PersistentConfigHandler::getConfigurationStatus(stored), 12);

    const std::string broken = configurationPath("broken.json");
    configtest::root().writeFile(broken + ".bad", "older");
    configtest::root().writeFile(broken, R"({"params": )");
    configtest::LogCapture log;
    EXPECT_EQ(DW_StartupConfiguration::loadOrCreate(broken), kDefaultDocument);
    EXPECT_EQ(configtest::root().readFile(broken), kDefaultDocument);
    // The user's profiles may still be recovered from the unreadable file.
    EXPECT_EQ(configtest::root().readFile(broken + ".bad"), R"({"params": )");
    EXPECT_NE(log.take().find("it is kept as " + broken + ".bad\n"), std::string::npos);
}

TEST(DW_DefaultConfiguration, StartUpRemovesWhatInterruptedSavesLeftBehind) {
    const std::string path = configurationPath("left.json");
    configtest::root().writeFile(path, R"({"params": {"configurationStatus": 3}})");
    for (const char* name : {".a1B2c3", ".XXXXXX", ".bad", ".a1B2c", ".a1B2c3d", ".a1-2c3"}) {
        configtest::root().writeFile(path + name, R"({"params": {"config)");
    }
    EXPECT_EQ(DW_StartupConfiguration::loadOrCreate(path),
              R"({"params": {"configurationStatus": 3}})");
    EXPECT_EQ(configtest::root().readFile(path + ".a1B2c3"), "");
    EXPECT_EQ(configtest::root().readFile(path + ".XXXXXX"), "");
    for (const char* name : {".bad", ".a1B2c", ".a1B2c3d", ".a1-2c3"}) {
        EXPECT_NE(configtest::root().readFile(path + name), "") << name;
    }
}

TEST(DW_DefaultConfiguration, PerspectiveArrayOnRequest) {
    const JsonAutoPtr document =
        DW_DefaultConfigCreator(true).create(Application::getDefaultValues(), API_Version("1.2"));
    const json_t* profile =
        json_array_get(json_object_get(json_object_get(document.get(), "params"), "profiles"), 0);
    EXPECT_EQ(JsonParser::dumpJsonToString(json_object_get(profile, "perspective")), "[]");
    EXPECT_STREQ(json_string_value(json_object_get(document.get(), "apiVersion")), "1.2");
}

TEST(DW_DefaultConfiguration, MissingDefaultsGiveNoDocument) {
    const DefaultValues noDefaults(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    configtest::LogCapture log;
    EXPECT_FALSE(DW_DefaultConfigCreator(false).create(noDefaults, API_Version("1.4")));
    EXPECT_NE(log.take().find("Missing default values for the size percentage filter\n"),
              std::string::npos);
}

TEST(DW_Capabilities, DocumentOfASingleChannelDeviceWithoutOverlay) {
    const DataBoundaries& boundaries = Application::getDataBoundaries();
    const DefaultValues& defaults = Application::getDefaultValues();
    const JsonAutoPtr data = ConfigurationCapabilities::create(
        DW_Capabilities::createDefaultFilters(boundaries, defaults),
        DW_Capabilities::createDefaultTriggers(boundaries, defaults), boundaries, defaults, false);
    EXPECT_EQ(
        configtest::answerText(data.get()),
        R"({"filters":[)"
        R"({"type":"sizePercentage","min":[3,3],"max":[100,100],"default":[5,5],"defaultActive":true},)"
        R"({"type":"distanceSwayingObject","min":3,"max":20,"default":5,"defaultActive":true},)"
        R"({"type":"excludeArea","min":[-1.0,-1.0],"max":[1.0,1.0],"minNbrVertices":3,)"
        R"("maxNbrVertices":10,"minNbrInstances":0,"maxNbrInstances":3,"defaultInstance":)"
        R"([[-0.2,-0.2],[-0.2,0.2],[0.2,0.2],[0.2,-0.2]]}],)"
        R"("triggers":[{"type":"loiteringArea","min":[-1.0,-1.0],"max":[1.0,1.0],)"
        R"("minNbrVertices":3,"maxNbrVertices":10,"minNbrInstances":1,"maxNbrInstances":1,)"
        R"("defaultInstance":[[-0.97,-0.97],[-0.97,0.97],[0.97,0.97],[0.97,-0.97]],)"
        R"("conditions":[{"type":"individual","defaultActive":true,"default":120,"max":360,"min":1},)"
        R"({"type":"group","defaultActive":false,"default":160,"max":360,"min":1}]}],)"
        R"("profiles":{"minNbrProfilesPerCamera":0,"maxNbrProfilesPerCamera":10,)"
        R"("minLengthName":1,"maxLengthName":15},)"
        R"("alarmOverlay":{"isSupported":false},"motionLevel":{"isSupported":false}})");
}

}  // namespace
