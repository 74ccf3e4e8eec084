#include <gtest/gtest.h>
#include <systemd/sd-bus.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "corbel/api_registry.h"
#include "log_capture.h"
#include "pictor/pipeline.h"
#include "program_bus.h"
#include "signal_subscription.h"
#include "thermal_sensor_dbus.h"
#include "thermography_service.h"
#include "thermographyd_params.h"

namespace {

using camlet::testing::ProgramBus;

// One private bus for the whole program: the framework's bus helper connects once.
const auto* const kProgramBus = ::testing::AddGlobalTestEnvironment(new ProgramBus);

bool logged(const Pictor::testing::LogCapture& log, const std::string& text) {
    const std::vector<std::string> messages = log.messages();
    return std::any_of(messages.begin(), messages.end(), [&](const std::string& message) {
        return message.find(text) != std::string::npos;
    });
}

// What a command prints on standard output.
std::string output_of(const std::string& command) {
    std::string output;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            output += buffer;
        }
        ::pclose(pipe);
    }
    return output;
}

// A bus client that records the signals sent from one object path: member
// names, with the changed properties of "PropertiesChanged" and the value of
// "VideoTypeChanged" in brackets.
class SignalRecorder {
  public:
    explicit SignalRecorder(const std::string& path)
        : m_subscription(ProgramBus::get().address(), path,
                         [this](sd_bus_message* message) { record(message); }) {}

    // Everything the peer sent before has arrived after a round trip to it.
    const std::vector<std::string>& received_from(const std::string& peer) {
        m_subscription.sync(peer);
        return m_received;
    }

  private:
    void record(sd_bus_message* message) {
        std::string entry = sd_bus_message_get_member(message);
        entry += "[";
        if (entry == "PropertiesChanged[") {
            sd_bus_message_skip(message, "s");
            sd_bus_message_enter_container(message, 'a', "{sv}");
            while (sd_bus_message_enter_container(message, 'e', "sv") > 0) {
                const char* name = nullptr;
                sd_bus_message_read(message, "s", &name);
                entry += std::string(name) + ";";
                sd_bus_message_skip(message, "v");
                sd_bus_message_exit_container(message);
            }
        } else {
            int32_t value = 0;
            sd_bus_message_read(message, "i", &value);
            entry += std::to_string(value);
        }
        m_received.push_back(entry + "]");
    }

    std::vector<std::string> m_received;
    camlet::testing::SignalSubscription m_subscription;
};

class ThermalSensorDbusTest : public ::testing::Test {
  protected:
    ThermalSensorDbusTest() {
        pipeline.add_block<ThermalSensorDbusBlock>("sensor", Pictor::BlockConfiguration{});
        pipeline.start(Pictor::Pipeline::Dispatch::Manual);
    }

    template <typename T>
    void push(const char* port, T value) {
        pipeline.push("sensor", port, value);
    }
    const std::vector<std::string>& signals() {
        pipeline.run_until_idle();
        return recorder.received_from(corbel::CorbelHelper::global_helper().unique_name());
    }

    Pictor::Pipeline pipeline;
    SignalRecorder recorder{"/com/zelk/ThermalSensor/sensor"};
};

TEST_F(ThermalSensorDbusTest, OneNotificationPerRunAndVideoTypeChecked) {
    push("max_fps_in", Pictor::float_value{30.0f});
    push("video_type_in", Pictor::datatype_int32{2});
    push("sensor_temperature_in", Pictor::datatype_int32{31000});
    EXPECT_EQ(signals(),
              (std::vector<std::string>{"PropertiesChanged[MaxFps;VideoType;SensorTemperature;]",
                                        "VideoTypeChanged[2]"}));

    // The same video type again: no signal.
    push("video_type_in", Pictor::datatype_int32{2});
    push("camera_temperature_in", Pictor::datatype_int32{25000});
    EXPECT_EQ(signals().back(), "PropertiesChanged[CameraTemperature;]");

    // Not a video type: refused, and the whole run changes nothing.
    Pictor::testing::LogCapture log;
    push("video_type_in", Pictor::datatype_int32{3});
    push("camera_temperature_in", Pictor::datatype_int32{26000});
    EXPECT_EQ(signals().size(), 3u);
    EXPECT_TRUE(logged(log, "sensor: Value out of range"));

    // No camera temperature (a module without its map): the property stays,
    // and the rest of the run goes out.
    push("camera_temperature_in", Pictor::datatype_int32{-999000});
    push("sensor_temperature_in", Pictor::datatype_int32{32000});
    EXPECT_EQ(signals().back(), "PropertiesChanged[SensorTemperature;]");

    const std::string properties = output_of(
        "gdbus call --system --dest " + corbel::CorbelHelper::global_helper().unique_name() +
        " --object-path /com/zelk/ThermalSensor/sensor"
        " --method org.freedesktop.DBus.Properties.GetAll com.zelk.ThermalSensor");
    EXPECT_EQ(properties,
              "({'MaxFps': <30.0>, 'VideoType': <2>, 'SensorTemperature': <32000>, "
              "'CameraTemperature': <25000>},)\n");
}

class ThermographydParamsTest : public ::testing::Test {
  protected:
    ThermographydParamsTest() {
        pipeline.add_block<ThermographydParams>("params", Pictor::BlockConfiguration{});
        modes = pipeline.tap<Pictor::datatype_int32>("params", "gain_mode_out");
        thresholds = pipeline.tap<Pictor::datatype_int32>("params", "gain_threshold_out");
        pipeline.start(Pictor::Pipeline::Dispatch::Manual);
    }

    static std::vector<int32_t> published(const Pictor::Tap<Pictor::datatype_int32>& tap) {
        std::vector<int32_t> values;
        for (const auto& value : tap.values()) {
            values.push_back(value.value);
        }
        return values;
    }
    // Runs the pipeline until the block has published as many values as
    // expected (10 s at the most); true when they are the expected ones.
    bool published_are(const std::vector<int32_t>& expected_modes,
                       const std::vector<int32_t>& expected_thresholds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while ((modes->values().size() < expected_modes.size() ||
                thresholds->values().size() < expected_thresholds.size()) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            pipeline.run_until_idle();
        }
        return published(*modes) == expected_modes && published(*thresholds) == expected_thresholds;
    }

    Pictor::testing::LogCapture log;
    thermalsim::ThermographyService service{2, 7};
    Pictor::Pipeline pipeline;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> modes;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> thresholds;
};

TEST_F(ThermographydParamsTest, FollowsTheServiceThroughSignalsAndRestarts) {
    EXPECT_TRUE(published_are({2}, {7}));
    EXPECT_TRUE(logged(log, "Got answer from thermographyd: GetGainMode"));

    service.set_gain_mode(0);
    service.set_gain_threshold(12);
    EXPECT_TRUE(published_are({2, 0}, {7, 12}));

    // A signal of the wrong signature is logged and ignored.
    service.send_malformed_gain_mode_changed("low");
    service.set_gain_mode(1);
    EXPECT_TRUE(published_are({2, 0, 1}, {7, 12}));
    EXPECT_TRUE(logged(log, "error: sd_bus_message_has_signature: "));

    // A restarted service is asked again, and its answers are published.
    service.restart();
    EXPECT_TRUE(published_are({2, 0, 1, 1}, {7, 12, 12}));
    EXPECT_EQ(service.gain_mode_calls(), 2);
    EXPECT_EQ(service.gain_threshold_calls(), 2);
    EXPECT_TRUE(logged(log, "Got signal with new owner for thermographyd!"));
    service.set_gain_threshold(9);
    EXPECT_TRUE(published_are({2, 0, 1, 1}, {7, 12, 12, 9}));
}

}  // namespace
