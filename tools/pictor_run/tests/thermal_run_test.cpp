#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "corbel/api_registry.h"
#include "log_capture.h"
#include "private_bus.h"
#include "thermal_run.h"

namespace {

using pictor_run::FrameValues;

std::string outputOf(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
    std::string output;
    char buffer[256];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        output += buffer;
    }
    return output;
}

// The module's integration-time law between its limits (10-60 °C, 390-100).
double pico384pMod1SLaw(double celsius) {
    return std::clamp(448.0 - 5.8 * celsius, 100.0, 390.0);
}

// A module against the simulated one while the ambient rises from 20 to
// 35 °C, published on a bus of its own. The frames are spread over a few
// seconds, as the integration-time block waits on the clock after each
// recalibration.
TEST(ThermalRun, TheIntegrationTimeAndTheShutterFollowARisingAmbient) {
    camlet::testing::PrivateBus bus;
    Pictor::testing::LogCapture log;
    Pictor::Registry registry;
    ASSERT_EQ(registry.load_plugin(THERMAL_PLUGIN_PATH), 0);
    pictor_run::RunSettings settings;
    settings.module = "Pico384pMod1S";
    settings.frames = 600;
    settings.ambientC = 20.0;
    settings.ambientEndC = 35.0;
    settings.scene = pictor_run::Scene::Gradient;
    settings.dbus = true;
    std::vector<FrameValues> frames;
    {
        pictor_run::ThermalRun run(registry, settings);
        for (int i = 0; i < settings.frames; ++i) {
            frames.push_back(run.step());
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }

        const std::string properties = outputOf(
            "gdbus call --system --dest " + corbel::CorbelHelper::global_helper().unique_name() +
            " --object-path /com/zelk/ThermalSensor/thermal"
            " --method org.freedesktop.DBus.Properties.GetAll com.zelk.ThermalSensor");
        EXPECT_NE(properties.find("'MaxFps': <30.0>"), std::string::npos) << properties;
        const std::string lastFpa = std::to_string(*frames.back().fpaMilliC);
        EXPECT_NE(properties.find("'SensorTemperature': <" + lastFpa + ">"), std::string::npos)
            << properties;
    }

    // The FPA temperature follows the ambient.
    ASSERT_TRUE(frames.back().fpaMilliC);
    EXPECT_NEAR(*frames.back().fpaMilliC, 35000, 300);
    // Each new integration time follows the law at an FPA temperature of the
    // frames just before (the FPA temperature reaches the integration-time
    // block one frame later, its result the sensor one more; a slow build may
    // take a frame or two longer). A recalibration request (8 in the FPGA)
    // comes when the law gives no new time: after the first, which ends the
    // calibration after loading, only once the FPA temperature moved by more
    // than 0.2 °C.
    int decisions = 0;
    std::optional<int32_t> lastShutterFpa;
    for (size_t i = 5; i < frames.size(); ++i) {
        const FrameValues& frame = frames[i];
        if (frame.shutterRequests != frames[i - 1].shutterRequests) {
            EXPECT_EQ(frame.lastShutterRequest, 8);
            if (lastShutterFpa) {
                EXPECT_GT(*frame.fpaMilliC - *lastShutterFpa, 200) << frame.frame;
            }
            lastShutterFpa = *frame.fpaMilliC;
        }
        if (frame.integrationTime == frames[i - 1].integrationTime) {
            continue;
        }
        ++decisions;
        double nearest = 1e9;
        for (size_t k = i - 5; k < i; ++k) {
            const double law = pico384pMod1SLaw(*frames[k].fpaMilliC / 1000.0);
            nearest = std::min(nearest, std::abs(frame.integrationTime - law));
        }
        EXPECT_LE(nearest, 1.5) << frame.frame;
    }
    EXPECT_GE(decisions, 5);
    for (const std::string& message : log.messages()) {
        EXPECT_EQ(message.find("already has key"), std::string::npos) << message;
    }
}

// Every module runs against the simulated module of its size: its FPA
// temperature comes back through its own conversion constants and converter,
// and the FPGA reports its video type and frame rate.
TEST(ThermalRun, EveryModuleRunsAndReadsItsFpaTemperature) {
    camlet::testing::PrivateBus bus;  // the thermography modules ask their service
    Pictor::Registry registry;
    ASSERT_EQ(registry.load_plugin(THERMAL_PLUGIN_PATH), 0);
    for (const char* module :
         {"Pico384pMod1S", "Pico384pMod2S", "Pico384pMod2T", "Pico384sMod1S", "Pico384sMod2S",
          "Pico384sMod2T", "Pico640g2Mod1S", "Pico640g2Mod2S", "Pico640sMod1S", "Pico640sMod2S",
          "Pico640sMod2T"}) {
        SCOPED_TRACE(module);
        pictor_run::RunSettings settings;
        settings.module = module;
        settings.ambientC = 30.0;
        settings.ambientEndC = 30.0;
        pictor_run::ThermalRun run(registry, settings);
        // The gain tables go up on a thread of their own; the video turns
        // from "OnePoint" to "TwoPoint" once they are in.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        FrameValues last = run.step();
        while (last.videoType != "TwoPoint" && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            last = run.step();
        }
        ASSERT_TRUE(last.fpaMilliC);
        EXPECT_NEAR(*last.fpaMilliC, 30000, 300);
        EXPECT_EQ(last.videoType, "TwoPoint");
        EXPECT_EQ(last.maxFps, 30.0f);
    }
}

// A J4 module switches to low gain while a hot object takes more of the
// picture than the histogram cut (3 %), and back to high gain once it left.
// Switches are at most one a second (real time), hence the pace.
TEST(ThermalRun, AHotSpotTakesTheGainLowAndItsLeavingBringsItBack) {
    camlet::testing::PrivateBus bus;
    Pictor::Registry registry;
    ASSERT_EQ(registry.load_plugin(THERMAL_PLUGIN_PATH), 0);
    pictor_run::RunSettings settings;
    settings.module = "Pico384pMod2T";
    settings.frames = 240;  // the hot spot is in from frame 80 to 159
    settings.ambientC = 25.0;
    settings.ambientEndC = 25.0;
    settings.scene = pictor_run::Scene::HotSpotPass;
    std::vector<FrameValues> frames;
    {
        pictor_run::ThermalRun run(registry, settings);
        for (int i = 0; i < settings.frames; ++i) {
            frames.push_back(run.step());
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
    }

    // The mode of each frame, and the frames where it changed.
    std::vector<std::pair<int, int32_t>> changes;
    for (const FrameValues& frame : frames) {
        const int32_t mode = frame.gainMode.value_or(-1);
        if (changes.empty() || changes.back().second != mode) {
            changes.emplace_back(frame.frame, mode);
        }
    }
    // Switching starts once the gain tables are in (how soon depends on the
    // machine), and then changes only with the hot spot.
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(changes[0].second, -1);
    EXPECT_EQ(changes[1].second, 5);  // automatic switching starts in high gain
    ASSERT_LT(changes[1].first, 80);
    EXPECT_EQ(changes[2].second, 1);  // the hot spot came: low gain
    EXPECT_GE(changes[2].first, 80);
    EXPECT_LT(changes[2].first, 160);
    EXPECT_EQ(changes[3].second, 2);  // it left: high gain
    EXPECT_GE(changes[3].first, 160);
}

}  // namespace
