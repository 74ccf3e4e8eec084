#include "adc3562_model.h"
#include "ads4142_model.h"
#include "dac80504_model.h"
#include "device_simulation.h"
#include "log_capture.h"
#include "pictor/pipeline.h"
#include "temporary_root.h"
#include "ti_adc3562.h"
#include "ti_ads4142.h"
#include "ti_dac80504.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

using camlet::devices::DeviceRegistration;
using thermalsim::RegisterAccess;

RegisterAccess written(uint32_t address, uint32_t value) {
    return {RegisterAccess::Kind::Write, address, value};
}
RegisterAccess read(uint32_t address) {
    return {RegisterAccess::Kind::Read, address, 0};
}

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no error";
}

class ConverterTest : public ::testing::Test {
  protected:
    camlet::testing::TemporaryRoot root;
    Pictor::testing::LogCapture log;
};

TEST_F(ConverterTest, Ads4142IsResetThenConfiguredAndClosed) {
    auto chip = std::make_shared<thermalsim::Ads4142Model>();
    DeviceRegistration node("/dev/spidev2.2", chip);

    TiAds4142Block("adc", {}).start();

    EXPECT_EQ(
        chip->accesses(),
        (std::vector<RegisterAccess>{
            written(0, 2), written(1, 0), written(3, 0), written(37, 8), written(38, 0),
            written(61, 192), written(63, 0), written(64, 0), written(65, 192), written(66, 0),
            written(67, 0), written(74, 0), written(191, 0), written(207, 0), written(223, 48)}));
    EXPECT_TRUE(chip->violations().empty()) << chip->violations().front();
    EXPECT_EQ(chip->openHandles(), 0);
}

TEST_F(ConverterTest, Adc3562FollowsItsStartUpAndReadsBack) {
    auto chip = std::make_shared<thermalsim::Adc3562Model>();
    DeviceRegistration node("/dev/spidev1.0", chip);

    TiAdc3562Block("adc", {{"device", "1.0"}}).start();

    const std::vector<RegisterAccess> expected = {
        written(0, 1),   written(7, 75),   written(19, 1), written(19, 0),  written(17, 1),
        written(25, 16), written(27, 136), written(8, 2),  written(9, 3),   written(14, 10),
        written(26, 64), written(36, 0),   written(37, 0), written(143, 2), read(0),
        read(7),         read(19),         read(19),       read(8),         read(9),
        read(14),        read(25),         read(27),       read(36),        read(37),
        read(143)};
    EXPECT_EQ(chip->accesses(), expected);
    EXPECT_TRUE(chip->violations().empty()) << chip->violations().front();
    EXPECT_EQ(chip->openHandles(), 0);
    const std::vector<std::string> messages = log.messages();
    for (const char* line : {"ADC reg addr[0] data[0]", "ADC reg addr[7] data[75]",
                             "ADC reg addr[27] data[136]", "ADC reg addr[143] data[2]"}) {
        EXPECT_NE(std::find(messages.begin(), messages.end(), std::string("debug: ") + line),
                  messages.end())
            << line;
    }
}

TEST_F(ConverterTest, SpiFailuresAreReportedAndTheDeviceClosed) {
    EXPECT_EQ(errorOf([] { TiAds4142Block("adc", {}).start(); }),
              "Failed to open fd /dev/spidev2.2");
    EXPECT_EQ(errorOf([] { TiAdc3562Block("adc", {}).start(); }),
              "Failed to open device /dev/spidev2.2");

    auto chip = std::make_shared<thermalsim::Ads4142Model>();
    DeviceRegistration node("/dev/spidev2.2", chip);
    TiAds4142Block block("adc", {});
    chip->failNextTransfer(EIO);
    EXPECT_EQ(errorOf([&] { block.start(); }), "SPI_IOC_MESSAGE failed: Input/output error");
    chip->shortenNextTransfer(1);
    EXPECT_EQ(errorOf([&] { block.start(); }), "ioctl SPI_IOC_MESSAGE transferred: 1");
    EXPECT_EQ(chip->openHandles(), 0);
}

class DacTest : public ConverterTest {
  protected:
    void SetUp() override {
        root.writeFile("/sys/bus/iio/devices/iio:device0/name", "ads1015\n");
        pipeline.add_block<TiDac80504Block>("dac",
                                            Pictor::BlockConfiguration{{"channels", 2},
                                                                       {"resolution", 16},
                                                                       {"gfid_channel", 0},
                                                                       {"gsk_channel", 1},
                                                                       {"vsk_channel", -1},
                                                                       {"video_offset_channel", -1},
                                                                       {"channel0_gain", 2},
                                                                       {"channel1_gain", 2}});
        pipeline.start(Pictor::Pipeline::Dispatch::Manual);
    }

    void set(const char* input, float volts) {
        pipeline.push("dac", input, Pictor::datatype_float{volts});
        pipeline.run_until_idle();
    }

    thermalsim::Dac80504Model dac{1};
    Pictor::Pipeline pipeline;
};

TEST_F(DacTest, VoltagesBecomeClampedRawCodes) {
    EXPECT_FALSE(dac.poweredDown(0));
    EXPECT_FALSE(dac.poweredDown(1));
    EXPECT_TRUE(dac.poweredDown(2));
    set("gfid_voltage_in", 1.7f);
    EXPECT_EQ(dac.rawText(0), "22282");
    EXPECT_NEAR(dac.volts(0) * 2, 1.7, 0.0001);
    set("gsk_voltage_in", 6.0f);
    EXPECT_EQ(dac.rawText(1), "65535");
    set("gsk_voltage_in", 0.0f);
    EXPECT_EQ(dac.rawText(1), "0");
    set("gfid_voltage_in", -0.5f);
    EXPECT_EQ(dac.rawText(0), "0");
    set("vsk_voltage_in", 1.0f);  // not connected
    EXPECT_EQ(dac.rawText(2), "0");
    EXPECT_EQ(dac.rawText(3), "0");

    std::remove((root.path() + dac.directory() + "/out_voltage1_raw").c_str());
    set("gsk_voltage_in", 1.0f);
    const std::vector<std::string> messages = log.messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "error: Failed to open " + dac.directory() +
                            "/out_voltage1_raw: No such file or directory"),
              messages.end());
}

TEST_F(ConverterTest, DacAcceptsOneToFourChannels) {
    for (int channels : {0, 5}) {
        EXPECT_EQ(errorOf([&] {
                      TiDac80504Block("dac", {{"channels", channels}});
                  }),
                  "TiDac80504Block: unsupported number of channels: " + std::to_string(channels));
    }
    for (int channels : {1, 4}) {
        EXPECT_EQ(errorOf([&] { TiDac80504Block("dac", {{"channels", channels}}); }), "no error");
    }
}

}  // namespace
