#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "module_simulation.h"
#include "pictor/pipeline.h"
#include "pictor/registry.h"
#include "private_bus.h"
#include "temporary_root.h"

namespace {

// The integration-time law of the Pico384s Mod1S and Mod2S modules
// (-3.5..44 °C, 371..175).
double pico384sLaw(double celsius) {
    return std::clamp(357.0 - 4.13066 * celsius, 175.0, 371.0);
}

bool wrote(const thermalsim::FpgaModel& fpga, uint32_t address) {
    const std::vector<std::pair<uint32_t, uint32_t>> writes = fpga.registerWrites();
    return std::any_of(writes.begin(), writes.end(),
                       [&](const auto& write) { return (write.first & 0x7FFFFFFF) == address; });
}

// Two camera modules from the plug-in in one pipeline, each on a sensor
// interface and an FPGA of its own, against two simulated modules whose FPA
// temperatures lie far apart: each module reads its own sensor, sets its own
// integration time and drives its own FPGA.
TEST(SideBySide, TwoModulesInOnePipelineKeepToTheirOwnHardware) {
    camlet::testing::PrivateBus bus;
    camlet::testing::TemporaryRoot root;
    Pictor::Registry registry;
    ASSERT_EQ(registry.load_plugin(THERMAL_PLUGIN_PATH), 0);
    Pictor::InitTools tools;

    std::unique_ptr<Pictor::Block> left = registry.create("Pico384sMod2S", "left", {}, tools);
    std::unique_ptr<Pictor::Block> right = registry.create(
        "Pico384sMod1S", "right",
        Pictor::BlockConfiguration::fromJson(R"({"channel": 1, "fpga_cfg": {"device": "3.1"}})"),
        tools);
    const auto leftModule = pictor_run::simulateModule(
        left->get_configuration(), 30.0, pictor_run::placementOf(left->get_configuration()));
    const auto rightModule =
        pictor_run::simulateModule(right->get_configuration(), 30.0,
                                   {1, "/dev/spidev3.1", "/dev/spidev3.2", 1, "fpga_reset_3"});
    // A plain gradient: nothing hot enough to take the J4 front end to low
    // gain, where another integration-time law holds.
    leftModule->sensor().pinFpaTemperature(10.0);
    leftModule->sensor().setHotSpot(false);
    rightModule->sensor().pinFpaTemperature(40.0);
    rightModule->sensor().setHotSpot(false);

    // Built after the simulated modules, so that its blocks go first.
    Pictor::Pipeline pipeline(tools);
    pipeline.add_block(std::move(left));
    pipeline.add_block(std::move(right));
    // The Tm301e front end takes its work-package identifiers from outside.
    pipeline.add_block(registry.create("SensorWpId", "right_wpid", {}, tools));
    pipeline.connect("right_wpid", "sensor_workpackage_id_store", "right", "workpackage_id_store");
    pipeline.connect("right_wpid", "sensor_workpackage_id_retrieve", "right",
                     "workpackage_id_retrieve");
    const auto leftFpa = pipeline.tap<Pictor::datatype_int32>("left", "fpa_temperature_out");
    const auto rightFpa = pipeline.tap<Pictor::datatype_int32>("right", "fpa_temperature_out");
    pipeline.start(Pictor::Pipeline::Dispatch::Manual);
    pipeline.run_until_idle();

    // Frames every 10 ms until both integration-time blocks decided (they
    // wait 3 s after the gain tables are loaded), then a few more.
    const Pictor::sensor_exposure_array exposure{{Pictor::sensor_exposure{1.0f / 30, 1.0f}}};
    const auto frame = [&] {
        leftModule->fpga().advanceFrame();
        rightModule->fpga().advanceFrame();
        pipeline.push("right_wpid", "trigger_in", Pictor::datatype_bool{true});
        pipeline.push("left", "sensor_exposure_in", exposure);
        pipeline.push("right", "sensor_exposure_in", exposure);
        pipeline.run_until_idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    const uint32_t leftInitial = leftModule->sensor().latchedIntegrationTime();
    const uint32_t rightInitial = rightModule->sensor().latchedIntegrationTime();
    for (int i = 0; i < 3000 && (leftModule->sensor().latchedIntegrationTime() == leftInitial ||
                                 rightModule->sensor().latchedIntegrationTime() == rightInitial);
         ++i) {
        frame();
    }
    for (int i = 0; i < 5; ++i) {
        frame();
    }

    ASSERT_FALSE(leftFpa->values().empty());
    ASSERT_FALSE(rightFpa->values().empty());
    EXPECT_NEAR(leftFpa->values().back().value, 10000, 100);
    EXPECT_NEAR(rightFpa->values().back().value, 40000, 100);
    EXPECT_NEAR(leftModule->sensor().latchedIntegrationTime(), pico384sLaw(10.0), 1.5);
    EXPECT_NEAR(rightModule->sensor().latchedIntegrationTime(), pico384sLaw(40.0), 1.5);

    // Both FPGAs were brought up; the gain mode of the J4 front end reached
    // the left FPGA only, the AGC of the Tm301e front end the right one only.
    for (const thermalsim::SimulatedModule* module : {leftModule.get(), rightModule.get()}) {
        EXPECT_EQ(module->fpga().registerValue(0xE000), 2514976u) << module->placement().fpgaNode;
        EXPECT_TRUE(module->fpga().violations().empty()) << module->placement().fpgaNode;
    }
    EXPECT_TRUE(wrote(leftModule->fpga(), 0x2020));
    EXPECT_FALSE(wrote(rightModule->fpga(), 0x2020));
    EXPECT_TRUE(wrote(rightModule->fpga(), 0x2030));
    EXPECT_FALSE(wrote(leftModule->fpga(), 0x2030));
}

}  // namespace
