#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "log_capture.h"
#include "pictor/registry.h"

namespace {

// The block types the plug-in registers, in order.
const std::vector<std::string> kRegisteredTypes = {
    "J4IppFpga",         "DebugHelper",      "SensorFpsChecker",  "PICO384P",
    "LynredPico384P",    "Pico384pMod1S",    "Pico384pMod2S",     "Pico384pMod2T",
    "LynredPico384S",    "Pico384sMod1S",    "Pico384sMod2S",     "Pico384sMod2T",
    "PICO640",           "PICO640G2",        "Pico640g2Mod1S",    "Pico640g2Mod2S",
    "LynredPico640Gen2", "Pico640sMod1S",    "Pico640sMod2S",     "Pico640sMod2T",
    "Tm301eFpga",        "Tm302eFpga",       "ThermalSensorDbus", "SensorWpId",
    "ShutterIntTime",    "ShutterIntTimeX3", "J4Sensor",          "Tm301eSensor",
    "Tm302eSensor",      "ThermalAgcGof",    "ThermalTrigg",      "TiAdc3562",
    "TiAds4142",         "TiDac80504",
};

class ThermalPlugin : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(registry.load_plugin(THERMAL_PLUGIN_PATH), 0); }

    // The blocks inside a superblock built from the plug-in, by name.
    std::map<std::string, Pictor::Block*> build(const std::string& type, const std::string& name,
                                                const Pictor::BlockConfiguration& configuration) {
        blocks.push_back(registry.create(type, name, configuration, tools));
        std::vector<Pictor::Block*> inner;
        blocks.back()->collect_blocks(inner);
        std::map<std::string, Pictor::Block*> byName;
        for (Pictor::Block* block : inner) {
            byName[block->get_name()] = block;
        }
        return byName;
    }

    Pictor::Registry registry;
    Pictor::InitTools tools;
    std::vector<std::unique_ptr<Pictor::Block>> blocks;
};

TEST_F(ThermalPlugin, RegistersItsBlockTypesInOrderAndNotItsInnerHelpers) {
    EXPECT_EQ(registry.type_names(), kRegisteredTypes);
    for (const char* helper : {"ThermalGainModeBlock", "ThermographydParams", "DataStoreRetrieve",
                               "ThermalGainMode", "DataStore", "DataRetrieve"}) {
        EXPECT_THROW(registry.create(helper, "x", {}, tools), std::invalid_argument) << helper;
    }
}

// What sets the modules apart, as built.
struct ModuleFacts {
    const char* type;
    bool j4;
    const char* adc;  // "" for none
    bool dac;
    int width;
    std::vector<double> temperatureLimits;
    int calibrationTime;
    bool thermography;
};

const std::vector<ModuleFacts> kModules = {
    {"Pico384pMod1S", false, "TiAds4142", true, 384, {10, 60}, 300, false},
    {"Pico384pMod2S", true, "TiAds4142", true, 384, {13.275862069, 60.0}, 300, false},
    {"Pico384pMod2T", true, "TiAds4142", true, 384, {-14.0, 70.0}, 300, true},
    {"Pico384sMod1S", false, "", false, 384, {-3.5, 44.0}, 210, false},
    {"Pico384sMod2S", true, "", false, 384, {-3.5, 44.0}, 210, false},
    {"Pico384sMod2T", true, "", false, 384, {7.0, 75.0}, 300, true},
    {"Pico640g2Mod1S", false, "TiAds4142", true, 640, {20.0, 65.0}, 450, false},
    {"Pico640g2Mod2S", true, "TiAds4142", true, 640, {21.20267, 65.0}, 450, false},
    {"Pico640sMod1S", false, "TiAdc3562", true, 640, {25.0, 60.0}, 555, false},
    {"Pico640sMod2S", true, "TiAdc3562", true, 640, {25.0, 60.0}, 555, false},
    {"Pico640sMod2T", true, "TiAdc3562", true, 640, {25.0, 60.0}, 555, true},
};

TEST_F(ThermalPlugin, EveryModuleBuildsItsFrontEndWithItsDefaults) {
    Pictor::testing::LogCapture log;
    for (const ModuleFacts& facts : kModules) {
        SCOPED_TRACE(facts.type);
        const auto inner = build(facts.type, "m", {{"channel", 1}});
        ASSERT_EQ(inner.count("m_superintt"), 1u);
        EXPECT_EQ(inner.count("m_superadc"), *facts.adc ? 1u : 0u);
        EXPECT_EQ(inner.count("m_superdac"), facts.dac ? 1u : 0u);
        // The J4 front end switches gain and numbers its frames itself; the
        // Tm301e one runs the AGC.
        EXPECT_EQ(inner.count("m_supergain"), facts.j4 ? 1u : 0u);
        EXPECT_EQ(inner.count("m_superparams"), facts.j4 ? 1u : 0u);
        EXPECT_EQ(inner.count("m_superwpid"), facts.j4 ? 1u : 0u);
        EXPECT_EQ(inner.count("m_supergof"), facts.j4 ? 0u : 1u);

        const Pictor::BlockConfiguration& fpga = inner.at("m_superfpga")->get_configuration();
        EXPECT_EQ(fpga.getInt("sensor_width"), facts.width);
        EXPECT_EQ(fpga.getInt("shutter_hold_pulse"), 90);
        EXPECT_EQ(fpga.getString("device"), "2.1");
        EXPECT_EQ(fpga.getInt("channel"), 1);
        const Pictor::BlockConfiguration& intt = inner.at("m_superintt")->get_configuration();
        EXPECT_EQ(intt.getDoubleVector("intt_temp_limits"), facts.temperatureLimits);
        EXPECT_EQ(intt.getInt("cal_int_time"), facts.calibrationTime);
        EXPECT_EQ(intt.has("lg_intt_temp_factors"), facts.thermography);
        EXPECT_EQ(inner.at("m_supersensor")->get_configuration().getBool("thermography"),
                  facts.thermography);
    }
    // No block choice was refused. (The Pico384s modules name no camera
    // temperature map, so they report theirs disabled.)
    for (const std::string& message : log.messages()) {
        EXPECT_EQ(message.find("Sensor:"), std::string::npos) << message;
    }
}

TEST_F(ThermalPlugin, AnInstanceConfigurationOverridesTheDefaultsOfItsInstanceOnly) {
    const auto plain = build("Pico640sMod1S", "a", {});
    const auto adcless = build("Pico640sMod1S", "b",
                               {{"super_cfg.adc_block", "none"}, {"fpga_cfg.sensor_width", 320}});
    EXPECT_EQ(plain.count("a_superadc"), 1u);
    EXPECT_EQ(adcless.count("b_superadc"), 0u);
    EXPECT_EQ(adcless.at("b_superfpga")->get_configuration().getInt("sensor_width"), 320);
    EXPECT_EQ(plain.at("a_superfpga")->get_configuration().getInt("sensor_width"), 640);
}

TEST_F(ThermalPlugin, AFrontEndWithoutAUsableBlockChoiceStopsWithItsMessage) {
    Pictor::testing::LogCapture log;
    EXPECT_EQ(build("J4Sensor", "j", {}).size(), 1u);
    EXPECT_EQ(build("Pico640sMod2T", "i", {{"super_cfg.fpga_block", "none"}}).size(), 1u);
    EXPECT_EQ(build("J4Sensor", "k", {{"super_cfg.fpga_block", "Tm301eFpga"}}).size(), 1u);
    // FPGA there, sensor missing: the FPGA stays, nothing after it is built.
    const auto fpgaOnly = build("Pico384pMod2S", "l", {{"super_cfg.sensor_block", "none"}});
    EXPECT_EQ(fpgaOnly.size(), 2u);
    EXPECT_EQ(fpgaOnly.count("l_superfpga"), 1u);
    const auto noAdc = build("Pico384pMod1S", "t", {{"super_cfg.adc_block", "ads9999"}});
    EXPECT_EQ(noAdc.count("t_superintt"), 0u);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{
                                  "error: J4Sensor: No fpga_block!!!",
                                  "error: J4Sensor: No fpga_block!!!",
                                  "error: J4Sensor: Unknown fpga_block: Tm301eFpga !!!",
                                  "error: J4Sensor: No sensor_block!!!",
                                  "error: Tm301eSensor: Unknown adc_block: ads9999 !!!",
                              }));
}

}  // namespace
