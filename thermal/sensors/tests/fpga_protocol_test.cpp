#include "calibration.h"
#include "fpga_spi.h"
#include "simulated_module_fixture.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;
using thermal::FpgaSpi;
using thermal::testing::SimulatedModule;

const std::string kDirectory = thermal::kCalibrationDirectory;

class FpgaProtocolTest : public ::testing::Test {
  protected:
    void SetUp() override { module.fpga().recordWire(true); }

    SimulatedModule module;
    FpgaSpi spi;
};

TEST_F(FpgaProtocolTest, RegisterMessagesCarryCommandAddressAndValueLittleEndian) {
    spi.fpga_write_reg(0x1A000, 7);
    spi.fpga_write_reg(0x6004, 0x4000);
    module.fpga().setRegister(0x20, 0x0F00);
    thermal::RegisterSetting setting{0x20, 0x00F0};
    spi.fpga_read_msg(setting);

    const std::vector<thermalsim::FpgaModel::Transfer> wire = module.fpga().wire();
    ASSERT_EQ(wire.size(), 3u);
    EXPECT_EQ(
        wire[0],
        (thermalsim::FpgaModel::Transfer{{0x12, 0x00, 0xA0, 0x01, 0x00, 0x07, 0x00, 0x00, 0x00}}));
    EXPECT_EQ(wire[1],
              (thermalsim::FpgaModel::Transfer{{0x10, 0x04, 0x60, 0x00, 0x40, 0x00, 0x00}}));
    EXPECT_EQ(wire[2], (thermalsim::FpgaModel::Transfer{{0x11, 0x20, 0x00, 0, 0, 0, 0}}));
    // A read ORs into what the caller had.
    EXPECT_EQ(setting.value, 0x0FF0u);
    EXPECT_TRUE(module.fpga().violations().empty());
}

TEST_F(FpgaProtocolTest, MemoryFilesGoOutInSixtyByteTransfersOfFourByteSubMessages) {
    Bytes content(61);
    for (size_t i = 0; i < content.size(); ++i) {
        content[i] = uint8_t(i * 3 + 1);
    }
    thermalsim::writeCalibrationFile("blob.dat", content);

    EXPECT_EQ(spi.fpga_write_mem_from_file(kDirectory + "blob.dat", 0x10000100), 0);

    const std::vector<thermalsim::FpgaModel::Transfer> wire = module.fpga().wire();
    ASSERT_EQ(wire.size(), 2u);
    ASSERT_EQ(wire[0].size(), 15u);
    EXPECT_EQ(wire[0][1], (Bytes{0x12, 0x04, 0x01, 0x00, 0x10, 13, 16, 19, 22}));
    ASSERT_EQ(wire[1].size(), 1u);
    EXPECT_EQ(wire[1][0], (Bytes{0x06, 0x3C, 0x01, 0x00, 0x10, 181}));
    EXPECT_EQ(module.fpga().memory(0x10000100, 61), content);
    EXPECT_TRUE(module.fpga().violations().empty());
}

TEST_F(FpgaProtocolTest, RegisterFilesFillConsecutiveRegistersAndMissingFilesAreReported) {
    thermalsim::writeCalibrationFile("words.dat", {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 9});

    EXPECT_EQ(spi.fpga_write_reg_from_file(kDirectory + "words.dat", 0x200000), 0);
    EXPECT_EQ(module.fpga().registerWrites(), (std::vector<std::pair<uint32_t, uint32_t>>{
                                                  {0x200000, 1}, {0x200004, 2}, {0x200008, 3}}));

    EXPECT_EQ(spi.fpga_write_reg_from_file(kDirectory + "none.dat", 0x200000), -1);
    EXPECT_EQ(spi.fpga_write_mem_from_file(kDirectory + "none.dat", 0x10000000), -1);
    EXPECT_TRUE(module.logged("warning: File " + kDirectory + "none.dat is missing!"));
}

TEST_F(FpgaProtocolTest, SelfTestAndMemoryWaitReportAFaultyFpga) {
    EXPECT_NO_THROW(thermal::fpgaSelfTest(spi));
    EXPECT_NO_THROW(thermal::waitForExternalMemory(spi));
    module.fpga().setRegisterZeroStuck(true);
    try {
        thermal::fpgaSelfTest(spi);
        ADD_FAILURE() << "a stuck register passed";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Could not read or write to FPGA register");
    }
}

TEST(FpgaMemoryWait, AFailedOrSilentMemoryEndsTheWait) {
    thermalsim::FpgaModel::Options failing;
    failing.memoryPasses = false;
    thermalsim::FpgaModel::Options silent;
    silent.memoryReadyDelay = std::chrono::hours(1);
    for (const thermalsim::FpgaModel::Options& options : {failing, silent}) {
        SimulatedModule module({}, options);
        FpgaSpi spi;
        try {
            thermal::waitForExternalMemory(spi, 100);
            ADD_FAILURE() << "the wait succeeded";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "FPGA external memory initialization failed");
        }
    }
}

TEST(ZoomBlend, PicksTheNeighbouringTablesAndKeepsTheWeightInRange) {
    constexpr uint32_t kScale = 0x400;
    EXPECT_EQ(thermal::zoomBlend(1.5f, kScale).index, 0);
    EXPECT_EQ(thermal::zoomBlend(1.5f, kScale).weight, 0x800u | 0x200u);
    EXPECT_EQ(thermal::zoomBlend(2.45f, kScale).index, 3);
    EXPECT_EQ(thermal::zoomBlend(2.95f, kScale).index, 8);
    // Beyond the tables: the first pair at its far end, never a wrapped weight.
    EXPECT_EQ(thermal::zoomBlend(3.5f, kScale).index, 0);
    EXPECT_EQ(thermal::zoomBlend(3.5f, kScale).weight, 0x800u | kScale);
    EXPECT_EQ(thermal::zoomBlend(0.5f, kScale).weight, 0x800u);
    EXPECT_EQ(thermal::zoomBlend(3.5f, 0x7FF).weight, 0xFFFu);
}

TEST(SimulatedModule, HistogramFollowsTheSceneAndTheShutter) {
    SimulatedModule module;
    thermal::FpgaSpi spi;
    const auto spread = [&] {
        const uint32_t bounds = spi.read(0x2008);
        return int(bounds >> 16) - int(bounds & 0xFFFF);
    };
    // A 15-35 °C gradient with a hot spot: well over 20 K of contrast.
    EXPECT_GT(spread(), 1000);
    // The hot spot covers about 6 % of the picture: a histogram cut of 10 %
    // each side puts the upper bound back into the gradient.
    const uint32_t withSpot = spi.read(0x2008) >> 16;
    spi.fpga_write_reg(0x2024, 100 | 100 << 16);
    const uint32_t bounds = spi.read(0x2008);
    EXPECT_LT(bounds >> 16, withSpot - 1000);
    EXPECT_GT(bounds >> 16, bounds & 0xFFFF);
    spi.fpga_write_reg(0x2024, 0);
    module.sensor().setShutterClosed(true);
    EXPECT_LT(spread(), 200);
    EXPECT_GE(spi.read(0x2018), 8000u);
    const double fpa = module.sensor().fpaCelsius();
    EXPECT_GE(fpa, 25.0 - 0.3);
    EXPECT_LE(fpa, 25.0 + 8.0 + 0.3);
}

}  // namespace
