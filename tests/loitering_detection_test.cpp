// Loitering detection end to end in one process: the scene simulator plays a
// scenario, the camera container of the platform's transport receives it,
// the product's guard built from a configuration document watches it, and
// the platform's event log shows the profile's event.
#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/interval_timer_observable.h"
#include "base/sdk_wrapper.h"
#include "config/application.h"
#include "config/configuration_parser.h"
#include "dwellwatch/dw_guard_factory.h"
#include "event_log.h"
#include "scene.h"
#include "scene/camera_container_factory.h"
#include "scene_simulator.h"
#include "temporary_root.h"

namespace {

using Lines = std::vector<std::string>;

const char* const kSceneVersions[] = {"1.0", "1.1"};
constexpr unsigned kMask = 14;
constexpr int64_t kSecond = 1000000;
constexpr int64_t kFrameInterval = kSecond / 4;

// Profile 1 on camera 1: an area over the middle of the image and an
// individual condition of 10 s; the event lasts at least 3 s (the default).
const char* const kDocument = R"({"params": {
    "cameras": [{"id": 1, "active": true, "rotation": 0}],
    "profiles": [{"name": "Entrance", "uid": 1, "camera": 1, "filters": [],
        "triggers": [{"type": "loiteringArea",
            "data": [[-0.5, -0.5], [-0.5, 0.5], [0.5, 0.5], [0.5, -0.5]],
            "conditions": [{"type": "individual", "data": 10, "active": true}]}]}]}})";

// Object 1 stands in the area until leaving, then the scene stays empty.
scenesim::Scenario loiterer(int64_t leaving, int64_t end) {
    scenesim::Scenario scenario;
    for (int64_t time = 0; time <= end; time += kFrameInterval) {
        scenesim::ScenarioFrame frame;
        frame.timeUs = time;
        if (time < leaving) {
            scenesim::ScenarioObject object;
            object.id = 1;
            object.outline = {{-300, -600}, {300, -600}, {300, 600}, {-300, 600}};
            frame.objects.push_back(object);
        } else if (time == leaving) {
            frame.events.push_back({SCENE_ACTION_DELETE, {1}, {}});
        }
        scenario.push_back(frame);
    }
    return scenario;
}

class LoiteringDetection : public ::testing::Test {
  protected:
    LoiteringDetection() {
        m_root.writeFile("/etc/camlet/parameters.conf",
                         "root.Properties.EmbeddedDevelopment.Version=2.16\n"
                         "root.Properties.PTZ.PTZ=no\n"
                         "ImageSource.I0.Sensor.AspectRatio=16:9\n");
        IntervalTimerObservable::initialize(10000);
        sdk_wrapper_init("DwellwatchGuard", "Dwellwatch", "CamletPlatform");
    }
    ~LoiteringDetection() override {
        sdk_wrapper_cleanup();
        IntervalTimerObservable::deinitialize();
    }

    // Waits up to the time-out until the event log has sent the line.
    bool waitForSend(const std::string& line, int timeoutMs = 10000) {
        const gint64 deadline = g_get_monotonic_time() + gint64{timeoutMs} * 1000;
        while (!contains(eventlog::read(m_root, "send"), line)) {
            if (g_get_monotonic_time() > deadline) {
                return false;
            }
            g_usleep(20000);
        }
        return true;
    }

    static bool contains(const Lines& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    camlet::testing::TemporaryRoot m_root;
};

TEST_F(LoiteringDetection, AnObjectStayingInTheAreaStartsAndEndsTheProfileEvent) {
    // 18 s of scene time played in 1.8 s.
    scenesim::SimulatorOptions options;
    options.playback.speed = 10;
    scenesim::SceneSimulator simulator(loiterer(13 * kSecond, 18 * kSecond), options);
    simulator.start();

    const API_VersionHandler versions(kSceneVersions, 2);
    std::unique_ptr<CameraContainer> container = CameraContainerFactory::create(versions, kMask);
    ConfigurationParser<DW_GuardFactory> parser;
    parser.parse(kDocument, Application::getDataBoundaries());
    ASSERT_EQ(parser.status(), STATUS_OK);
    container->updateWithNewConfiguration(parser.createConfigurations());
    EXPECT_EQ(eventlog::read(m_root, "send"), Lines{});

    ASSERT_TRUE(waitForSend("send Camera1Profile1 0"))
        << testing::PrintToString(eventlog::read(m_root));
    const Lines sent = eventlog::read(m_root, "send");
    const Lines profileEvents = [&] {
        Lines lines;
        std::copy_if(
            sent.begin(), sent.end(), std::back_inserter(lines),
            [](const std::string& line) { return line.find("Profile1 ") != std::string::npos; });
        return lines;
    }();
    EXPECT_EQ(profileEvents, (Lines{"send Camera1Profile1 1", "send Camera1Profile1 0"}));
    EXPECT_TRUE(contains(sent, "send Camera1ProfileANY 1"));
    EXPECT_TRUE(contains(sent, "send MotionAlarm:0 1"));

    container->shutDown();
}

}  // namespace
