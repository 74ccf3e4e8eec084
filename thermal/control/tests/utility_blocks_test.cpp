#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "block_harness.h"
#include "log_capture.h"
#include "sensor_fps_checker.h"
#include "temporary_root.h"
#include "utility_blocks.h"

namespace {

using thermal::testing::BlockHarness;
using thermal::testing::values_of;

bool logged(const Pictor::testing::LogCapture& log, const std::string& text) {
    const std::vector<std::string> messages = log.messages();
    return std::any_of(messages.begin(), messages.end(), [&](const std::string& message) {
        return message.find(text) != std::string::npos;
    });
}

TEST(CircularBufferTest, FullRingEvictsTheOldestKeyAndDuplicatesReplace) {
    CircularBuffer<unsigned, int> buffer(3);
    for (unsigned key : {1u, 2u, 3u, 4u}) {
        EXPECT_TRUE(buffer.insert(key, 10 * int(key)));
    }
    EXPECT_EQ(buffer.find(1), nullptr);
    EXPECT_EQ(buffer.size(), 3u);
    EXPECT_FALSE(buffer.insert(4, 41));
    EXPECT_EQ(*buffer.find(4), 41);
}

TEST(WorkPackageTest, IdentifiersCycleAndRetrieveLagsOneTrigger) {
    BlockHarness<SensorWpIdBlock> wpid({});
    auto store = wpid.tap<Pictor::workpackage_id>("sensor_workpackage_id_store");
    auto retrieve = wpid.tap<Pictor::workpackage_id>("sensor_workpackage_id_retrieve");
    wpid.start();
    for (int i = 0; i < 5; ++i) {
        wpid.push("trigger_in", Pictor::datatype_bool{true});
    }
    EXPECT_EQ(values_of(*store), (std::vector<int32_t>{1, 2, 3, 0, 1}));
    EXPECT_EQ(values_of(*retrieve), (std::vector<int32_t>{0, 1, 2, 3, 0}));
}

class StoreRetrieveTest : public ::testing::Test {
  protected:
    StoreRetrieveTest() {
        pipeline.add_block<SensorWpIdBlock>("wpid", Pictor::BlockConfiguration{});
        pipeline.add_block<DataStoreRetrieve<Pictor::datatype_int32>>("sr",
                                                                      Pictor::BlockConfiguration{});
        pipeline.connect("wpid", "sensor_workpackage_id_store", "sr", "workpackage_id_store");
        pipeline.connect("wpid", "sensor_workpackage_id_retrieve", "sr", "workpackage_id_retrieve");
        out = pipeline.tap<Pictor::datatype_int32>("sr", "data_out");
        pipeline.start(Pictor::Pipeline::Dispatch::Manual);
    }

    Pictor::testing::LogCapture log;
    Pictor::Pipeline pipeline;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> out;
};

TEST_F(StoreRetrieveTest, ValuesComeBackOneFrameLaterAcrossTheWrap) {
    // Each frame's trigger and data arrive before the blocks run.
    for (int32_t frame = 0; frame < 6; ++frame) {
        pipeline.push("wpid", "trigger_in", Pictor::datatype_bool{true});
        pipeline.push("sr", "data_in", Pictor::datatype_int32{100 + frame});
        pipeline.run_until_idle();
    }
    EXPECT_EQ(values_of(*out), (std::vector<int32_t>{100, 101, 102, 103, 104}));
    EXPECT_FALSE(logged(log, "already has key"));

    pipeline.push("sr", "data_in", Pictor::datatype_int32{200});
    pipeline.run_until_idle();
    EXPECT_TRUE(logged(log, "CircularBuffer: already has key 2"));
    pipeline.push("wpid", "trigger_in", Pictor::datatype_bool{true});
    pipeline.run_until_idle();
    EXPECT_EQ(values_of(*out).back(), 200);  // the second value stays
}

TEST(StorePairingTest, MissingProducerAndSecondConsumerAreReported) {
    Pictor::testing::LogCapture log;
    Pictor::Pipeline pipeline;
    const Pictor::BlockConfiguration seven{{"block_id", 7}};
    pipeline.add_block<DataRetrieve<Pictor::datatype_bool>>("orphan", seven);
    pipeline.add_block<DataStore<Pictor::histogram_data>>("store", seven);
    pipeline.add_block<DataRetrieve<Pictor::histogram_data>>("first", seven);
    pipeline.add_block<DataRetrieve<Pictor::histogram_data>>("second", seven);
    pipeline.start(Pictor::Pipeline::Dispatch::Manual);
    EXPECT_TRUE(logged(log, "No database producer found for block_id=7"));
    EXPECT_TRUE(logged(log, "No support for multiple database consumers for a single producer"));
}

TEST(DebugHelperTest, CaptureModesSwitchTheCalibrationIntegrationTime) {
    Pictor::testing::LogCapture log;
    BlockHarness<DebugHelperBlock> helper({});
    auto out = helper.tap<Pictor::datatype_bool>("set_cal_int_time_out");
    helper.start();
    for (int32_t mode : {1, 2, 3, 4}) {
        helper.push("fpga_capture_mode", Pictor::capture_mode_properties{mode, 0});
    }
    helper.push("sensor_capture_raw", Pictor::datatype_int32{0});
    std::vector<bool> switched;
    for (const Pictor::datatype_bool& value : out->values()) {
        switched.push_back(value.value);
    }
    EXPECT_EQ(switched, (std::vector<bool>{true, false, false, true}));
    EXPECT_TRUE(logged(log, "Undefined capture mode option!"));
}

class FpsCheckerTest : public ::testing::Test {
  protected:
    const std::string file = "/var/lib/pictor/pstore/fps/max_fps";

    void run(bool always_create_file, std::initializer_list<float> values) {
        Pictor::Pipeline pipeline;
        pipeline.add_block<SensorFpsChecker>(
            "fps", Pictor::BlockConfiguration{{"always_create_file", always_create_file}});
        auto out = pipeline.tap<Pictor::float_value>("fps", "max_fps_out");
        pipeline.start(Pictor::Pipeline::Dispatch::Manual);
        for (float value : values) {
            if (value < 0) {  // stands for the file going missing
                std::remove((root.path() + file).c_str());
                continue;
            }
            pipeline.push("fps", "max_fps_in", Pictor::float_value{value});
            pipeline.run_until_idle();
        }
        published += out->values().size();
    }

    camlet::testing::TemporaryRoot root;
    size_t published = 0;
};

TEST_F(FpsCheckerTest, MaximumIsPersistedAndReadBackOnRestart) {
    run(false, {29.97f});
    EXPECT_EQ(root.readFile(file), "29.969999");  // "%f" of the float
    // A restart reads it back: the same value is not written again.
    run(false, {-1, 29.97f});
    EXPECT_EQ(root.readFile(file), "");
    run(false, {60.0f, 60.0f});
    EXPECT_EQ(root.readFile(file), "60.000000");
    // Always creating the file: a missing file is written even for the same value.
    run(true, {-1, 60.0f});
    EXPECT_EQ(root.readFile(file), "60.000000");
    EXPECT_EQ(published, 5u);
}

}  // namespace
