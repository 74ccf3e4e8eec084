#include "fpga_blocks.h"
#include "pictor/pipeline.h"
#include "simulated_module.h"
#include "simulated_module_fixture.h"
#include "temperature_constants.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using thermal::testing::SimulatedModule;

Pictor::BlockConfiguration pico384Fpga() {
    return {{"sensor_width", 384}, {"sensor_height", 288},           {"fpga_width", 384},
            {"fpga_height", 288},  {"temp_sensor_response", 0.0148}, {"temp_sensor_V_30C", 1.782},
            {"device", "2.1"}};
}

TEST(FpgaTemperatureConstants, ReproduceTheFactoryFigures) {
    const thermal::FpaConversion pico384 = thermal::deriveFpaConversion(pico384Fpga());
    EXPECT_EQ(pico384.k1, 162162);
    EXPECT_EQ(pico384.k2, 4718304);
    EXPECT_EQ(pico384.r0, 2520360);
    EXPECT_EQ(pico384.jump, 58192);
    EXPECT_EQ(pico384.referenceMilliC, 30000);

    const thermal::FpaConversion pico640 = thermal::deriveFpaConversion(
        {{"sensor_height", 480}, {"temp_sensor_response", 0.0148}, {"temp_sensor_V_30C", 1.8056}});
    EXPECT_EQ(pico640.k1, 162162);
    EXPECT_EQ(pico640.k2, 7863840);
    EXPECT_EQ(pico640.r0, 4277929);
    EXPECT_EQ(pico640.jump, 96987);
}

TEST(FpaFilter, SmoothsSmallStepsTakesJumpsAndWorksForNegativeResponses) {
    for (int64_t jump : {100, -100}) {
        const thermal::FpaConversion conversion{1, 1, 0, jump};
        std::atomic<int64_t> previous{1000};
        thermal::FpaFilter filter(conversion, previous);
        EXPECT_EQ(filter.filter(1008), 1001) << jump;
        EXPECT_EQ(filter.filter(5000), 5000) << jump;
        EXPECT_EQ(previous.load(), 5000);
    }
}

TEST(CameraTemperatureMap, InterpolatesClampsAndReportsAnUnusableMap) {
    Pictor::testing::LogCapture log;
    const thermal::CameraTemperatureMap map({100, 200, 300}, {0, 10, 50});
    EXPECT_EQ(map.milliCelsius(150), 5000);
    EXPECT_EQ(map.milliCelsius(250), 30000);
    EXPECT_EQ(map.milliCelsius(20), 0);
    // The top of the table and beyond: its last temperature.
    EXPECT_EQ(map.milliCelsius(300), 50000);
    EXPECT_EQ(map.milliCelsius(900), 50000);

    const thermal::CameraTemperatureMap mismatched({100, 200, 300}, {0, 10});
    EXPECT_EQ(mismatched.milliCelsius(150), thermal::CameraTemperatureMap::kNoTemperature);
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"error: cam_temp_map_dl and cam_temp_map_C size mismatch. "
                                        "Camera temperature disabled."}));
}

TEST(GainTableUpload, StopsWhenTheTablesWouldNotFit) {
    SimulatedModule module;
    module.calibration.write();
    thermal::FpgaSpi spi;
    std::mutex mutex;
    std::atomic<bool> cancel{false};
    // Room for three tables above the upload start.
    const thermal::GainTableLayout layout{221184, 269330560, 269330560 - 0x10000000 + 2 * 221184};
    EXPECT_EQ(thermal::uploadGainTables(spi, mutex, layout, 0, cancel),
              thermal::UploadResult::MemoryFull);
    EXPECT_TRUE(module.logged("error: FPGA memory full!"));
    const std::vector<uint8_t> third = module.calibration.gainTable(2);
    EXPECT_EQ(module.fpga().memory(269330560 + 2 * 221184, 16),
              std::vector<uint8_t>(third.begin(), third.begin() + 16));
    EXPECT_EQ(module.fpga().memory(269330560 + 3 * 221184, 16), std::vector<uint8_t>(16, 0));
}

// An FPGA block in a pipeline on its own thread, as the camera runs it, so
// that the uploader thread and the block's runs meet.
class FpgaBlockTest : public ::testing::Test {
  protected:
    template <typename Block>
    void start(Pictor::BlockConfiguration configuration) {
        pipeline.add_block<Block>("fpga", configuration);
        videoType = pipeline.tap<Pictor::datatype_string>("fpga", "video_type_string_out");
        loading = pipeline.tap<Pictor::datatype_bool>("fpga", "loading_gain_corr_out");
        fpa = pipeline.tap<Pictor::datatype_int32>("fpga", "fpa_temperature_out");
        camera = pipeline.tap<Pictor::datatype_int32>("fpga", "camera_temperature_out");
        maxFps = pipeline.tap<Pictor::float_value>("fpga", "sensor_max_fps_out");
        eeprom = pipeline.tap<Pictor::datatype_string>("fpga", "sensor_eeprom_out");
        pipeline.start();
    }
    // Generous: the camera build's tests run emulated, next to other tests.
    static bool waitFor(const std::function<bool()>& condition) {
        for (int i = 0; i < 3000 && !condition(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return condition();
    }

    SimulatedModule module;
    Pictor::Pipeline pipeline;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_string>> videoType;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_bool>> loading;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> fpa;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> camera;
    std::shared_ptr<Pictor::Tap<Pictor::float_value>> maxFps;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_string>> eeprom;
};

TEST_F(FpgaBlockTest, BringsTheFpgaUpAndUploadsTheGainTablesWhileRunning) {
    module.calibration.write();
    module.sensor().pinFpaTemperature(35.0);
    module.fpga().setRawTemperature(0x4004, {30000, 2520360, 162162, 4718304, 0xFFFFFFFF, 2});
    start<J4IppFpgaBlock>(pico384Fpga());

    EXPECT_EQ(module.fpga().registerValue(0xE000), 2514976u);
    EXPECT_EQ(module.lastWrite(0x1E004), 1u);
    EXPECT_EQ(module.fpga().registerValue(0x1E008), 40u | 90u << 10);
    EXPECT_EQ(module.fpga().registerValue(0x200008), 0x00FF0100u);
    ASSERT_FALSE(fpa->values().empty());
    EXPECT_NEAR(fpa->values().front().value, 35000, 1);

    // Runs of the block meet the upload on its thread.
    for (int i = 0; i < 20; ++i) {
        pipeline.push("fpga", "fpga_test_pattern", Pictor::datatype_bool{i % 2 == 0});
        pipeline.push("fpga", "trigger_in", Pictor::datatype_bool{true});
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(waitFor([&] { return videoType->values().size() == 2; }));
    EXPECT_EQ(videoType->values()[0].value, "OnePoint");
    EXPECT_EQ(videoType->values()[1].value, "TwoPoint");
    // Each frame tells whether the tables are being loaded: first they are,
    // after the next frame no longer.
    pipeline.push("fpga", "trigger_in", Pictor::datatype_bool{true});
    ASSERT_TRUE(waitFor([&] {
        const auto values = loading->values();
        return !values.empty() && !values.back().value;
    }));
    EXPECT_TRUE(loading->values().front().value);
    for (int level : {0, 9}) {
        const std::vector<uint8_t> table = module.calibration.gainTable(level);
        EXPECT_EQ(module.fpga().memory(269330560 + uint32_t(level) * 221184, 221184), table)
            << level;
    }
    EXPECT_EQ(module.fpga().registerValue(0x1A010), 0u);
    EXPECT_TRUE(module.fpga().violations().empty());
    ASSERT_FALSE(camera->values().empty());
    EXPECT_EQ(camera->values().back().value, -999000);
}

TEST_F(FpgaBlockTest, ReadsTemperaturesThroughTheAdcOfANegativeResponseSensor) {
    module.sensor().pinFpaTemperature(35.0);
    // Response −4.83828 mV/°C through 1.536-2.56 V over 16 bits, one sample.
    module.fpga().setRawTemperature(0x14000, {473577, -98302, -211645, 65535, 0xFFFF, 2});
    module.fpga().setRegister(0x14004, 150);
    Pictor::BlockConfiguration configuration = pico384Fpga();
    configuration += Pictor::BlockConfiguration{{"temp_sensor_response", -0.00483828},
                                                {"temp_sensor_offset_ref_C", 473.577},
                                                {"temp_sensor_V_30C", 0.0},
                                                {"fpa_temp_samples", 1},
                                                {"fpa_temp_adc_select", true},
                                                {"adc_high_ref", 2.56},
                                                {"adc_low_ref", 1.536},
                                                {"adc_high_output", 65535},
                                                {"cam_temp_adc_select", true},
                                                {"cam_adc_ch", 1},
                                                {"cam_temp_map_dl", {100, 200, 300}},
                                                {"cam_temp_map_C", {0, 10, 50}}};
    start<Tm302eFpgaBlock>(configuration);

    ASSERT_FALSE(fpa->values().empty());
    EXPECT_NEAR(fpa->values().front().value, 35000, 10);
    ASSERT_FALSE(camera->values().empty());
    EXPECT_EQ(camera->values().front().value, 5000);
    ASSERT_TRUE(waitFor([&] { return !maxFps->values().empty(); }));
    EXPECT_EQ(maxFps->values().front().value, 30.0f);

    // The sensor EEPROM as the FPGA mirrors it (selected with the ADC).
    module.fpga().setRegister(0x30008, 0xCAFE0001);
    pipeline.push("fpga", "sensor_eeprom_read_in", Pictor::ee_read{2, 2});
    ASSERT_TRUE(waitFor([&] { return !eeprom->values().empty(); }));
    EXPECT_EQ(eeprom->values().front().value, "cafe000100000000");
    pipeline.push("fpga", "sensor_eeprom_read_in", Pictor::ee_read{1023, 2});
    ASSERT_TRUE(
        waitFor([&] { return module.logged("error: Failed to read from sensor EEPROM."); }));
    EXPECT_EQ(eeprom->values().size(), 1u);
}

Pictor::BlockConfiguration absoluteMode() {
    Pictor::BlockConfiguration configuration = pico384Fpga();
    configuration += Pictor::BlockConfiguration{{"abs_mode", 1}};
    return configuration;
}

std::vector<uint8_t> absoluteCalibration(uint16_t width, uint16_t height) {
    std::vector<uint8_t> bytes = {'R',
                                  'A',
                                  'D',
                                  '1',
                                  uint8_t(width),
                                  uint8_t(width >> 8),
                                  uint8_t(height),
                                  uint8_t(height >> 8)};
    bytes.resize(bytes.size() + size_t(width) * height * 2, 0x11);
    return bytes;
}

TEST_F(FpgaBlockTest, AbsoluteCalibrationGivesRadianceVideoAndTheAgcDrivesTheFpga) {
    module.calibration.write();
    thermalsim::writeCalibrationFile("rad_channel_0", absoluteCalibration(384, 288));
    start<Tm301eFpgaBlock>(absoluteMode());
    ASSERT_TRUE(waitFor([&] { return videoType->values().size() == 2; }));
    EXPECT_EQ(videoType->values()[1].value, "Radiance");
    // The table follows the ten gain tables.
    EXPECT_EQ(module.fpga().memory(269330560 + 10 * 221184, 5),
              (std::vector<uint8_t>{'R', 'A', 'D', '1', 128}));

    pipeline.push("fpga", "gof_in", Pictor::datatype_gof{1.5f, -200});
    ASSERT_TRUE(waitFor([&] { return module.fpga().registerValue(0x2034) == uint32_t(-200); }));
    EXPECT_EQ(module.fpga().registerValue(0x2030), 0x18000u);
}

TEST_F(FpgaBlockTest, AMismatchedAbsoluteCalibrationIsDisabled) {
    module.calibration.write();
    thermalsim::writeCalibrationFile("rad_channel_0", absoluteCalibration(640, 480));
    start<J4IppFpgaBlock>(absoluteMode());
    ASSERT_TRUE(waitFor([&] { return videoType->values().size() == 2; }));
    EXPECT_EQ(videoType->values()[1].value, "TwoPoint");
    EXPECT_TRUE(
        module.logged("error: The absolute calibration data doesn't match the camera's "
                      "setup. The absolute calibration is disabled."));
}

TEST(FpgaBlockFps, ALimitedModuleReportsItsRate) {
    thermalsim::FpgaModel::Options limited;
    limited.frameRateLimit = 9.0;
    SimulatedModule module({}, limited);
    Pictor::Pipeline pipeline;
    pipeline.add_block<Tm301eFpgaBlock>("fpga", pico384Fpga());
    const auto maxFps = pipeline.tap<Pictor::float_value>("fpga", "sensor_max_fps_out");
    pipeline.start(Pictor::Pipeline::Dispatch::Manual);
    ASSERT_EQ(maxFps->values().size(), 1u);
    EXPECT_NEAR(maxFps->values().front().value, 9.0f, 1.0f);
}

// Two modules of one class on two FPGA devices, 1 °C apart (well within the
// filter's jump of 2 °C): each block smooths its own module's readings only,
// so neither reports a blend of both.
TEST(FpgaBlockFilter, ModulesOnTwoDevicesKeepTheirOwnFpaTemperature) {
    SimulatedModule left;
    thermalsim::SimulatedModule right(
        {{}, {}, false, {1, "/dev/spidev3.1", "/dev/spidev3.2", 1, "fpga_reset_3"}});
    const thermalsim::FpgaModel::RawTemperature conversion{30000,   2520360,    162162,
                                                           4718304, 0xFFFFFFFF, 2};
    left.sensor().pinFpaTemperature(30.0);
    left.fpga().setRawTemperature(0x4004, conversion);
    right.sensor().pinFpaTemperature(31.0);
    right.fpga().setRawTemperature(0x4004, conversion);

    Pictor::Pipeline pipeline;
    pipeline.add_block<J4IppFpgaBlock>("left", pico384Fpga());
    Pictor::BlockConfiguration rightConfiguration = pico384Fpga();
    rightConfiguration += Pictor::BlockConfiguration{{"device", "3.1"}, {"channel", 1}};
    pipeline.add_block<J4IppFpgaBlock>("right", rightConfiguration);
    const auto leftFpa = pipeline.tap<Pictor::datatype_int32>("left", "fpa_temperature_out");
    const auto rightFpa = pipeline.tap<Pictor::datatype_int32>("right", "fpa_temperature_out");
    pipeline.start(Pictor::Pipeline::Dispatch::Manual);
    for (int frame = 0; frame < 30; ++frame) {
        pipeline.push("left", "trigger_in", Pictor::datatype_bool{true});
        pipeline.push("right", "trigger_in", Pictor::datatype_bool{true});
        pipeline.run_until_idle();
    }

    ASSERT_EQ(leftFpa->values().size(), rightFpa->values().size());
    for (size_t i = 0; i < leftFpa->values().size(); ++i) {
        EXPECT_NEAR(leftFpa->values()[i].value, 30000, 20) << i;
        EXPECT_NEAR(rightFpa->values()[i].value, 31000, 20) << i;
    }
    EXPECT_TRUE(left.fpga().violations().empty());
    EXPECT_TRUE(right.fpga().violations().empty());
}

}  // namespace
