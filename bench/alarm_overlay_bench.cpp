// Cost of one frame of the alarm overlay on one 1920 × 1080 stream with 20
// objects in alarm: boxes predicted and drawn, the buffer fetched over the
// command channel, filled and submitted to the overlay service's stand-in on
// a private bus, and the drawing erased.

#include <benchmark/benchmark.h>
#include <glib.h>

#include <memory>
#include <thread>
#include <vector>

#include "base/sdk_wrapper.h"
#include "guard/alarm_data.h"
#include "guard/alarm_data_container.h"
#include "overlay/alarm_overlay.h"
#include "overlay_service.h"
#include "private_bus.h"
#include "temporary_root.h"
#include "tracking/tracking_object.h"
#include "tracking_test_objects.h"

namespace {

void BM_HandleAlarmResult(benchmark::State& state) {
    camlet::testing::TemporaryRoot root;
    root.writeFile("/etc/camlet/parameters.conf",
                   "root.Properties.EmbeddedDevelopment.Version=2.16\n"
                   "ImageSource.I0.Sensor.AspectRatio=16:9\n"
                   "root.Properties.Image.Resolution=1920x1080\n");
    camlet::testing::PrivateBus bus;
    overlaysim::OverlayService service(bus.address());
    sdk_wrapper_init("DwellwatchGuard", "Dwellwatch", "CamletPlatform");
    AlarmOverlay::enableIfSupported();
    service.addStream({});
    AlarmOverlayConfiguration configuration;
    configuration.profileIds = {1};
    configuration.streamSettingsByCamera.emplace(1, StreamSettings(1920, 1080, 0, false));
    AlarmOverlay::setNewConfiguration(configuration);
    for (int i = 0; i < 500 && service.createdOverlays().empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!AlarmOverlay::isEnabled() || service.createdOverlays().empty()) {
        state.SkipWithError("the overlay could not be set up");
    } else {
        std::vector<std::unique_ptr<TrackingObject>> people;
        auto data = std::make_unique<AlarmData>(1);
        for (int i = 0; i < 20; ++i) {  // people-sized boxes spread over the image
            const int x = -3500 + (i % 5) * 1700;
            const int y = -3000 + (i / 5) * 1900;
            people.push_back(trackedRectangle(i, 0, x, x + 400, y, y + 1100));
            data->addObjectStatus(people.back().get(), OBJECT_ALARM);
        }
        AlarmDataContainer alarms;
        alarms.insert(std::move(data));
        for (auto _ : state) {
            AlarmOverlay::handleAlarmResult(alarms, g_get_monotonic_time());
        }
        if (service.submitCount() < static_cast<int>(state.iterations())) {
            state.SkipWithError("frames were not submitted");
        }
    }
    AlarmOverlay::disable();
    sdk_wrapper_cleanup();
}
BENCHMARK(BM_HandleAlarmResult)->Unit(benchmark::kMicrosecond);

}  // namespace
