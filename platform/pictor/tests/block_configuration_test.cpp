#include "pictor/block_configuration.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace Pictor {
namespace {

TEST(BlockConfiguration, GettersTakeDefaultsOnlyForMissingKeys) {
    const BlockConfiguration configuration{{"fpga_cfg.sensor_width", 384},
                                           {"fpga_cfg.device", "2.1"},
                                           {"fpga_cfg.zoom", false},
                                           {"fpga_cfg.temp_sensor_response", 0.0148},
                                           {"limits", {10, 60.5}}};
    EXPECT_EQ(configuration.getInt("fpga_cfg.sensor_width", 640), 384);
    EXPECT_EQ(configuration.getInt("fpga_cfg.sensor_height", 288), 288);
    EXPECT_EQ(configuration.getString("fpga_cfg.device"), "2.1");
    EXPECT_FALSE(configuration.getBool("fpga_cfg.zoom", true));
    EXPECT_FLOAT_EQ(configuration.getFloat("fpga_cfg.temp_sensor_response"), 0.0148f);
    EXPECT_DOUBLE_EQ(configuration.getDouble("fpga_cfg.sensor_width"), 384.0);
    EXPECT_EQ(configuration.getFloatVector("limits"), (std::vector<float>{10.0f, 60.5f}));
    EXPECT_EQ(configuration.getIntVector("missing", {390, 100}), (std::vector<int>{390, 100}));
    EXPECT_EQ(configuration.getSubtree("fpga_cfg").getInt("sensor_width"), 384);
    EXPECT_TRUE(configuration.getSubtree("nothing").empty());
}

TEST(BlockConfiguration, MissingKeysAndWrongTypesThrowNamingTheKey) {
    const BlockConfiguration configuration{{"fpga_cfg.device", "2.1"}, {"limits", {1.5, 2.5}}};
    for (auto read :
         std::vector<std::function<void()>>{[&] { configuration.getInt("fpga_cfg.channel"); },
                                            [&] { configuration.getInt("fpga_cfg.device", 1); },
                                            [&] { configuration.getString("fpga_cfg"); },
                                            [&] { configuration.getIntVector("limits"); },
                                            [&] { configuration.getFloat("limits"); }}) {
        try {
            read();
            ADD_FAILURE() << "no throw";
        } catch (const ConfigurationError& error) {
            EXPECT_TRUE(std::string(error.what()).find("configuration key 'fpga_cfg") !=
                            std::string::npos ||
                        std::string(error.what()).find("configuration key 'limits'") !=
                            std::string::npos)
                << error.what();
        }
    }
    BlockConfiguration big;
    big.set("big", int64_t{1} << 40);
    EXPECT_THROW(big.getInt("big"), ConfigurationError);
}

TEST(BlockConfiguration, MergeOverridesNestedKeysAndKeepsTheRest) {
    BlockConfiguration defaults{{"super_cfg.adc_block", "ads4142"},
                                {"super_cfg.dac_block", "dac80504"},
                                {"fpga_cfg.device", "2.1"},
                                {"fpga_cfg.window.top", 0},
                                {"channel", 1}};
    defaults += BlockConfiguration{
        {"super_cfg.adc_block", "none"}, {"fpga_cfg.window", "full"}, {"channel.index", 2}};
    EXPECT_EQ(defaults.getString("super_cfg.adc_block"), "none");
    EXPECT_EQ(defaults.getString("super_cfg.dac_block"), "dac80504");
    EXPECT_EQ(defaults.getString("fpga_cfg.device"), "2.1");
    // A value replaces a subtree and a subtree a value.
    EXPECT_EQ(defaults.getString("fpga_cfg.window"), "full");
    EXPECT_FALSE(defaults.has("fpga_cfg.window.top"));
    EXPECT_EQ(defaults.getInt("channel.index"), 2);
    EXPECT_THROW(defaults.getInt("channel"), ConfigurationError);
}

TEST(BlockConfiguration, LoadsJsonAndReportsWhereItIsWrong) {
    const BlockConfiguration configuration = BlockConfiguration::fromJson(R"({
        "channel": 0,
        "shutter_int_t_cfg": {"intt_temp_limits": [13.275862069, 60.0],
                              "intt_intt_limits": [371, 100]},
        "sensor_cfg": {"thermography": true, "names": ["a", "b"]}})");
    EXPECT_EQ(configuration.getInt("channel"), 0);
    EXPECT_EQ(configuration.getIntVector("shutter_int_t_cfg.intt_intt_limits"),
              (std::vector<int>{371, 100}));
    EXPECT_TRUE(configuration.getBool("sensor_cfg.thermography"));
    EXPECT_EQ(configuration.getStringVector("sensor_cfg.names"),
              (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(BlockConfiguration::fromJson(configuration.toJson()), configuration);

    for (const char* text :
         {R"({"a": 1,})", R"([1])", R"({"a": null})", R"({"a": [{"b": 1}]})", R"({"a.b": 1})"}) {
        EXPECT_THROW(BlockConfiguration::fromJson(text), ConfigurationError) << text;
    }
    try {
        BlockConfiguration::fromJson("{\n\"a\": }");
        ADD_FAILURE() << "no throw";
    } catch (const ConfigurationError& error) {
        EXPECT_NE(std::string(error.what()).find("line 2"), std::string::npos) << error.what();
    }
}

}  // namespace
}  // namespace Pictor
