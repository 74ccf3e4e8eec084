// Frames per second through a camera's work on one scene frame: decoding
// the frame buffer, updating the tracked objects and three product guards.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dwellwatch/dwellwatch_guard.h"
#include "filters/object_lifetime_filter.h"
#include "filters/size_filter_percent.h"
#include "filters/swaying_filter.h"
#include "geometry/polygon.h"
#include "guard/ptz_state.h"
#include "recording_producer.h"
#include "scene/mote_scene.h"
#include "scene/mote_scene_parser.h"
#include "scene_encoder.h"

namespace {

constexpr int kObjectCount = 50;
constexpr int kSceneMask = 14;  // outline, velocity and confidence, as the program asks
constexpr uint64_t kFrameIntervalNs = 100000000;  // 10 frames per second
constexpr int64_t kSecond = 1000000;              // microseconds
constexpr float kAspectRatio = 16.0f / 9.0f;
constexpr int16_t kFullConfidence = 4096;

// Objects spread over the view, each moving a few units per frame and
// turning round now and then: most pace far enough to count as loiterers,
// every fifth stays close to where it started, like a swaying bush.
class WalkingObjects {
  public:
    scene::FrameRecord nextFrame() {
        ++m_frame;
        scene::FrameRecord frame;
        frame.timestampNs = static_cast<uint64_t>(m_frame) * kFrameIntervalNs;
        for (int i = 0; i < kObjectCount; ++i) {
            frame.objects.push_back(object(i));
        }
        return frame;
    }

  private:
    static constexpr int kStep = 6;
    // Frames in one direction: 600 units there and back again for a pacing
    // object, well beyond the swaying distance; 180 units for a swaying one.
    static constexpr int kPacingLeg = 100;
    static constexpr int kSwayingLeg = 30;

    scene::ObjectRecord object(int index) const {
        const int leg = index % 5 == 4 ? kSwayingLeg : kPacingLeg;
        const int direction = (m_frame / leg) % 2 == 0 ? 1 : -1;
        const int travelled = kStep * (direction > 0 ? m_frame % leg : leg - m_frame % leg);
        const int x = -3700 + (index % 10) * 760 + travelled;
        const int y = -3400 + (index / 10) * 1500 + travelled / 2;
        const auto at = [](int px, int py) {
            return scene::Point16{static_cast<int16_t>(px), static_cast<int16_t>(py)};
        };
        scene::ObjectRecord record;
        record.id = index + 1;
        // A standing person: narrow and tall, with shoulders.
        record.outline = std::vector<scene::Point16>{at(x - 120, y - 300), at(x + 120, y - 300),
                                                     at(x + 150, y + 150), at(x + 80, y + 300),
                                                     at(x - 80, y + 300),  at(x - 150, y + 150)};
        record.velocity = std::array<int32_t, 2>{direction * kStep, direction * kStep / 2};
        record.confidence = kFullConfidence;
        return record;
    }

    int m_frame = 0;
};

// A guard as the product's factory builds it from a profile: a size filter,
// a swaying filter and the 3 s lifetime filter.
std::unique_ptr<DwellwatchGuard> productGuard(const Polygon& area, int uid,
                                              StateEventProducerI& producer, int64_t individualTime,
                                              int64_t groupTime) {
    auto guard = std::make_unique<DwellwatchGuard>(
        area, "Profile " + std::to_string(uid), uid, 1, 3 * kSecond, "Dwellwatch", producer,
        individualTime, groupTime, 0, PtzState::kNoPreset,
        std::make_unique<SwayingFilter>(5, uid, true));
    guard->addExclusionFilter(std::make_unique<SizeFilterPercent>(5, 5, true));
    guard->addExclusionFilter(std::make_unique<ObjectLifetimeFilter>(3 * kSecond, true));
    return guard;
}

std::vector<std::unique_ptr<DwellwatchGuard>> threeGuards(StateEventProducerI& producer) {
    std::vector<std::unique_ptr<DwellwatchGuard>> guards;
    guards.push_back(
        productGuard(Polygon(-3900, 3900, -3900, 3900), 1, producer, 120 * kSecond, 0));
    guards.back()->addExcludeArea(Polygon(-500, 500, -500, 500));

    guards.push_back(productGuard(Polygon(-4000, 0, -4000, 1000), 2, producer, 10 * kSecond, 0));

    const std::vector<Point> entrance = {{-1000, 0},  {-600, 2500},  {600, 3200},   {2800, 2600},
                                         {3600, 800}, {3000, -1500}, {1200, -3000}, {-800, -2800}};
    const Polygon entranceArea(entrance.data(), static_cast<int>(entrance.size()));
    guards.push_back(productGuard(entranceArea, 3, producer, 0, 20 * kSecond));
    guards.back()->addExcludeArea(Polygon(1500, 2600, 1200, 2200));
    return guards;
}

// Argument: how many of the three guards see the frames; 0 measures decoding
// and tracking alone.
void BM_CameraPipelineFrame(benchmark::State& state) {
    guardtest::RecordingProducer producer;  // events go nowhere else
    std::vector<std::unique_ptr<DwellwatchGuard>> guards = threeGuards(producer);
    guards.resize(static_cast<size_t>(state.range(0)));
    MoteSceneParser parser(0, kAspectRatio);
    WalkingObjects objects;
    int64_t alarmFrames = 0;

    for (auto _ : state) {
        state.PauseTiming();
        const std::string buffer = scene::encodeFrame(objects.nextFrame());
        state.ResumeTiming();

        const MoteScene scene(buffer.c_str(), kSceneMask);
        const ParsedScene parsed = parser.parse(scene);
        bool alarm = false;
        for (const auto& guard : guards) {
            alarm = guard->checkObjects(parsed)->isAlarm() || alarm;
        }
        alarmFrames += alarm ? 1 : 0;
    }

    if (parser.getStorage().getSize() != static_cast<size_t>(kObjectCount)) {
        state.SkipWithError("the frames did not reach the object storage");
    }
    state.counters["frames"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["alarm_share"] =
        benchmark::Counter(static_cast<double>(alarmFrames), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CameraPipelineFrame)->ArgName("guards")->Arg(3)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
