#include "adc3562_model.h"
#include "ads4142_model.h"
#include "lynred_sensor_blocks.h"
#include "pictor/pipeline.h"
#include "simulated_module_fixture.h"
#include "ulis_sensor_blocks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using thermal::testing::SimulatedModule;
using Writes = std::vector<std::pair<std::string, uint32_t>>;

constexpr uint32_t kTableStart384 = 269330560;
constexpr uint32_t kTableBytes384 = 221184;

// An all-in-one 384 block in a manually dispatched pipeline over the module.
class UlisBlockTest : public ::testing::Test {
  protected:
    explicit UlisBlockTest(thermalsim::SensorModel::Options sensorOptions = {})
        : module(sensorOptions) {}

    void start(Pictor::BlockConfiguration configuration = {}) {
        pipeline.add_block<UlisPico384PSensorBlock>("sensor", configuration);
        bias = pipeline.tap<Pictor::sensor_bias_properties>("sensor", "sensor_bias_out");
        temperature = pipeline.tap<Pictor::datatype_int32>("sensor", "fpa_temperature_out");
        integration = pipeline.tap<Pictor::datatype_int32>("sensor", "sensor_integration_time_out");
        pipeline.start(Pictor::Pipeline::Dispatch::Manual);
    }
    void waitForGainTables() {
        const auto last = module.calibration.gainTable(9);
        const uint32_t lastStart = kTableStart384 + 9 * kTableBytes384;
        // Generous: the camera build's tests run emulated, next to other tests.
        for (int i = 0; i < 3000; ++i) {
            pipeline.run_until_idle();
            if (module.fpga().memory(lastStart + kTableBytes384 - 4, 4) ==
                std::vector<uint8_t>(last.end() - 4, last.end())) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        FAIL() << "gain tables not uploaded";
    }

    SimulatedModule module;
    Pictor::Pipeline pipeline;
    std::shared_ptr<Pictor::Tap<Pictor::sensor_bias_properties>> bias;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> temperature;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> integration;
};

TEST_F(UlisBlockTest, UnprogrammedSensorWithoutCalibrationComesUpOnDefaults) {
    start();

    const Writes writes = module.sensor().writes();
    EXPECT_EQ(writes[0], (Writes::value_type{"trim_a", 575}));
    EXPECT_EQ(writes[1], (Writes::value_type{"trim_b", 187}));
    EXPECT_EQ(module.sensor().field("window_width"), 383u);
    EXPECT_EQ(module.sensor().field("window_height"), 287u);
    EXPECT_EQ(module.sensor().field("mode"), 29u);
    ASSERT_EQ(bias->values().size(), 1u);
    EXPECT_FLOAT_EQ(bias->values()[0].first, 2.82467f);
    EXPECT_FLOAT_EQ(bias->values()[0].second, 1.62794f);
    EXPECT_NEAR(2 * module.dac().volts(2), 2.82467, 0.0001);
    EXPECT_NEAR(2 * module.dac().volts(3), 1.62794, 0.0001);
    EXPECT_NEAR(2 * module.dac().volts(1), 3.6, 0.0001);
    EXPECT_NEAR(2 * module.dac().volts(0), 1.7, 0.0001);
    EXPECT_FALSE(static_cast<thermalsim::Ads4142Model&>(module.adc()).accesses().empty());

    EXPECT_EQ(module.fpga().resets(), 1);
    EXPECT_EQ(module.lastWrite(0x8001E004), 1u);
    EXPECT_EQ(module.fpga().registerValue(0xE000), 2514976u);
    EXPECT_EQ(module.fpga().registerValue(0x18000), 1u);
    EXPECT_EQ(module.fpga().registerValue(0x1A000), 7u);
    EXPECT_EQ(module.fpga().registerValue(0x1E008), 40u | 100u << 10);
    EXPECT_TRUE(module.logged("error: Failed to load defect pixel correction data!"));
    EXPECT_TRUE(module.fpga().violations().empty());

    const auto* block = static_cast<UlisSensorBlock*>(pipeline.find_block("sensor"));
    const auto serial = const_cast<UlisSensorBlock*>(block)->debug_data().get("serial_nbr");
    ASSERT_TRUE(serial.has_value());
    EXPECT_EQ(std::get<std::string>(*serial), "471107042");

    for (int i = 0; i < 3000 && !module.logged("error: Failed to load gain correction data!");
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(module.logged("error: Failed to load gain correction data!"));
}

TEST_F(UlisBlockTest, BiasFileReplacesTheTrimsAndGainTablesLandInMemory) {
    module.calibration.write();
    start({{"zoom", true}});

    ASSERT_EQ(bias->values().size(), 1u);
    EXPECT_FLOAT_EQ(bias->values()[0].first, 2.5f);
    EXPECT_FLOAT_EQ(bias->values()[0].second, 1.5f);
    EXPECT_NEAR(2 * module.dac().volts(2), 2.5, 0.0001);

    ASSERT_NO_FATAL_FAILURE(waitForGainTables());
    for (int level : {0, 4}) {
        const std::vector<uint8_t> table = module.calibration.gainTable(level);
        EXPECT_EQ(module.fpga().memory(kTableStart384 + uint32_t(level) * kTableBytes384, 64),
                  std::vector<uint8_t>(table.begin(), table.begin() + 64))
            << level;
    }
    EXPECT_EQ(module.fpga().registerWrites().front(), (std::pair<uint32_t, uint32_t>{0, 0x10201}));
    EXPECT_EQ(module.fpga().registerValue(0x200004), 0x00200030u);

    pipeline.push("sensor", "current_zoom_mag", Pictor::datatype_float{2.45f});
    pipeline.run_until_idle();
    EXPECT_EQ(module.lastWrite(0x8001C004), 895104u + 3 * kTableBytes384);
    EXPECT_EQ(module.lastWrite(0x8001C008), 895104u + 4 * kTableBytes384);
    EXPECT_EQ(module.lastWrite(0x8001C000) & 0x800u, 0x800u);
    EXPECT_TRUE(module.fpga().violations().empty());
}

class ProgrammedUlisBlockTest : public UlisBlockTest {
  protected:
    ProgrammedUlisBlockTest() : UlisBlockTest(programmed()) {}
    static thermalsim::SensorModel::Options programmed() {
        thermalsim::SensorModel::Options options;
        options.trimA = 400;
        options.trimB = 100;
        return options;
    }
};

TEST_F(ProgrammedUlisBlockTest, ProgrammedTrimsStandWhenTheBiasFileIsOddSized) {
    thermalsim::writeCalibrationFile("bias_channel_0.dat", {1, 2, 3, 4, 5, 6, 7});
    start();

    ASSERT_EQ(bias->values().size(), 1u);
    EXPECT_FLOAT_EQ(bias->values()[0].first, float(0.777 + 100 * 0.01025));
    EXPECT_FLOAT_EQ(bias->values()[0].second, float(0.416 + 400 * 0.00254));
    for (const auto& write : module.sensor().writes()) {
        EXPECT_NE(write.first.rfind("trim", 0), 0u) << write.first;
    }
}

TEST(UlisBringUpFaults, AFaultyFpgaStopsTheBringUp) {
    {
        SimulatedModule module;
        module.fpga().setRegisterZeroStuck(true);
        Pictor::Pipeline pipeline;
        pipeline.add_block<UlisPico384PSensorBlock>("sensor", Pictor::BlockConfiguration{});
        pipeline.start(Pictor::Pipeline::Dispatch::Manual);
        EXPECT_TRUE(
            module.logged("error: sensor: start failed: Could not read or write to FPGA register"));
    }
    {
        thermalsim::FpgaModel::Options failing;
        failing.memoryPasses = false;
        SimulatedModule module({}, failing);
        Pictor::Pipeline pipeline;
        pipeline.add_block<UlisPico384PSensorBlock>("sensor", Pictor::BlockConfiguration{});
        pipeline.start(Pictor::Pipeline::Dispatch::Manual);
        EXPECT_TRUE(module.logged(
            "error: sensor: start failed: FPGA external memory initialization failed"));
        EXPECT_EQ(module.fpga().registerValue(0xE000), 0u);
    }
}

TEST_F(UlisBlockTest, FpaTemperatureFollowsTheModelAndDrivesTheIntegrationTime) {
    module.sensor().pinFpaTemperature(35.0);
    module.fpga().setRawTemperature(0x4004, {30000, 2520360, 162162, 4718304, 0xFFFFFFFF, 2});
    start();

    ASSERT_FALSE(temperature->values().empty());
    EXPECT_NEAR(temperature->values().back().value, 35000, 1);
    // 390 at 10 °C down to 100 at 60 °C: 245 at 35 °C, latched in the sensor.
    ASSERT_GE(integration->values().size(), 2u);
    EXPECT_EQ(integration->values().front().value, 183);
    EXPECT_EQ(integration->values().back().value, 245);
    EXPECT_EQ(module.sensor().latchedIntegrationTime(), 245u);

    // No reading: the last temperature stands.
    module.fpga().setRegister(0x4004, 0);
    const size_t published = temperature->values().size();
    pipeline.push("sensor", "shutter_control", Pictor::datatype_int32{2});
    pipeline.run_until_idle();
    EXPECT_EQ(temperature->values().size(), published);
}

TEST_F(UlisBlockTest, ShutterRequestsAndCaptureModesWriteTheirRegisters) {
    start();
    for (int request : {0, 1, 2, 3}) {
        pipeline.push("sensor", "shutter_control", Pictor::datatype_int32{request});
        pipeline.run_until_idle();
    }
    std::vector<uint32_t> commands;
    for (const auto& [address, value] : module.fpga().registerWrites()) {
        if (address == 0x8001E004) {
            commands.push_back(value);
        }
    }
    EXPECT_EQ(commands, (std::vector<uint32_t>{1, 1, 4, 2, 8}));
    pipeline.push("sensor", "shutter_control", Pictor::datatype_int32{4});
    pipeline.run_until_idle();
    EXPECT_TRUE(module.logged("error: sensor: Undefined shutter service!"));

    const size_t before = module.fpga().registerWrites().size();
    pipeline.push("sensor", "sensor_capture_raw", Pictor::datatype_int32{0});
    pipeline.run_until_idle();
    const auto writes = module.fpga().registerWrites();
    const std::vector<std::pair<uint32_t, uint32_t>> capture(writes.begin() + long(before),
                                                             writes.begin() + long(before) + 6);
    const uint32_t rawMode = (2514976u & ~(7u << 10)) | 6u << 10;
    EXPECT_EQ(capture, (std::vector<std::pair<uint32_t, uint32_t>>{{0xE000, rawMode},
                                                                   {0x6008, 0},
                                                                   {0x6004, 0x4000},
                                                                   {0x6000, 0},
                                                                   {0x1A000, 0},
                                                                   {0x18000, 0}}));
    pipeline.push("sensor", "fpga_capture_mode", Pictor::capture_mode_properties{3, 0});
    pipeline.run_until_idle();
    EXPECT_EQ((module.fpga().registerValue(0xE000) >> 10) & 7u, 2u);
    pipeline.push("sensor", "fpga_capture_mode", Pictor::capture_mode_properties{4, 0});
    pipeline.run_until_idle();
    EXPECT_TRUE(module.logged("error: sensor: Undefined capture mode option!"));
}

TEST_F(UlisBlockTest, CustomExposureWindowsAreCheckedAgainstTheArray) {
    start();
    const auto choose = [&](const char* window, int right) {
        pipeline.push("sensor", "QUARP_CustomExposureWindowTop", Pictor::datatype_int32{10});
        pipeline.push("sensor", "QUARP_CustomExposureWindowBottom", Pictor::datatype_int32{20});
        pipeline.push("sensor", "QUARP_CustomExposureWindowLeft", Pictor::datatype_int32{5});
        pipeline.push("sensor", "QUARP_CustomExposureWindowRight", Pictor::datatype_int32{right});
        pipeline.push("sensor", "QUARP_ExposureWindow", Pictor::datatype_string{window});
        pipeline.run_until_idle();
    };
    choose("custom", 300);
    EXPECT_EQ(module.fpga().registerValue(0x2000), 5u | 300u << 16);
    EXPECT_EQ(module.fpga().registerValue(0x2004), 10u | 20u << 16);

    choose("custom", 384);
    EXPECT_TRUE(module.logged("warning: Exposure window boundries are invalid - not applied!"));
    choose("diagonal", 300);
    EXPECT_TRUE(module.logged("warning: Undefined exposure window!"));
    EXPECT_EQ(module.fpga().registerValue(0x2000), 5u | 300u << 16);
}

TEST(LynredSensor, BringsTheSensorUpAndTakesIntegrationTimes) {
    SimulatedModule module;
    Pictor::Pipeline pipeline;
    pipeline.add_block<LynredPico384SSensorBlock>(
        "sensor", Pictor::BlockConfiguration{{"icap", 7}, {"thermography", true}});
    const auto gsk = pipeline.tap<Pictor::datatype_float>("sensor", "gsk_voltage_out");
    const auto gfid = pipeline.tap<Pictor::datatype_float>("sensor", "gfid_voltage_out");
    pipeline.start(Pictor::Pipeline::Dispatch::Manual);

    EXPECT_TRUE(module.logged("warning: Invalid icap value: 7 pF!"));
    EXPECT_TRUE(module.logged("warning: Using default value: 6 pF!"));
    EXPECT_EQ(module.sensor().field("icap"), 5u);
    EXPECT_EQ(module.sensor().field("trim_a"), 575u);
    EXPECT_EQ(module.sensor().latchedIntegrationTime(), 183u);
    ASSERT_EQ(gsk->values().size(), 1u);
    EXPECT_FLOAT_EQ(gsk->values()[0].value, 1.62794f);
    ASSERT_EQ(gfid->values().size(), 1u);
    EXPECT_FLOAT_EQ(gfid->values()[0].value, 2.82467f);
    const auto serial = pipeline.find_block("sensor")->debug_data().get("serial_nbr");
    ASSERT_TRUE(serial.has_value());
    EXPECT_EQ(std::get<std::string>(*serial), "471107042");

    pipeline.push("sensor", "sensor_integration_time_in", Pictor::datatype_int32{250});
    pipeline.run_until_idle();
    EXPECT_EQ(module.sensor().latchedIntegrationTime(), 250u);
}

TEST(SensorFamily, EveryMemberComesUpAgainstTheModel) {
    struct Member {
        const char* type;
        int width;
        int height;
        uint32_t integrationTime;
        bool fpga;
        bool adc3562;
        double r0;
        double k1;
    };
    const Member members[] = {{"PICO640", 640, 480, 439, true, false, 4521330, 160875},
                              {"PICO640G2", 640, 480, 439, true, true, 4277929, 162162},
                              {"LynredPico384P", 384, 288, 183, false, false, 0, 1},
                              {"LynredPico640Gen2", 640, 480, 183, false, false, 0, 1}};
    for (const Member& member : members) {
        thermalsim::SensorModel::Options options;
        options.width = member.width;
        options.height = member.height;
        SimulatedModule module(options, {}, member.adc3562);
        module.sensor().pinFpaTemperature(35.0);
        module.fpga().setRawTemperature(0x4004,
                                        {30000, member.r0, member.k1, 7863840, 0xFFFFFFFF, 0});
        Pictor::Pipeline pipeline;
        std::unique_ptr<Pictor::Block> block;
        if (member.type == std::string("PICO640")) {
            block = std::make_unique<UlisPico640Gen2SensorBlock>("sensor",
                                                                 Pictor::BlockConfiguration{});
        } else if (member.type == std::string("PICO640G2")) {
            block = std::make_unique<UlisPico640Gen2HearthSensorBlock>(
                "sensor", Pictor::BlockConfiguration{});
        } else if (member.type == std::string("LynredPico384P")) {
            block =
                std::make_unique<LynredPico384PSensorBlock>("sensor", Pictor::BlockConfiguration{});
        } else {
            block = std::make_unique<LynredPico640Gen2SensorBlock>("sensor",
                                                                   Pictor::BlockConfiguration{});
        }
        pipeline.add_block(std::move(block));
        pipeline.start(Pictor::Pipeline::Dispatch::Manual);

        EXPECT_EQ(module.sensor().field("window_width"), uint32_t(member.width - 1)) << member.type;
        EXPECT_EQ(module.sensor().field("window_height"), uint32_t(member.height - 1))
            << member.type;
        EXPECT_EQ(module.sensor().field("trim_b"), 187u) << member.type;
        EXPECT_EQ(module.fpga().registerValue(0xE000), member.fpga ? 2514976u : 0u) << member.type;
        const Writes writes = module.sensor().writes();
        EXPECT_NE(std::find(writes.begin(), writes.end(),
                            Writes::value_type{"integration_time", member.integrationTime}),
                  writes.end())
            << member.type;
        if (member.fpga) {
            // The first reading, 35 °C, has moved the integration time on.
            EXPECT_EQ(module.sensor().latchedIntegrationTime(), 245u) << member.type;
            const auto adcAccesses =
                member.adc3562
                    ? static_cast<thermalsim::Adc3562Model&>(module.adc()).accesses().size()
                    : static_cast<thermalsim::Ads4142Model&>(module.adc()).accesses().size();
            EXPECT_GT(adcAccesses, 0u) << member.type;
        } else {
            EXPECT_EQ(module.sensor().latchedIntegrationTime(), member.integrationTime)
                << member.type;
        }
        EXPECT_TRUE(module.fpga().violations().empty()) << member.type;
    }
}

}  // namespace
