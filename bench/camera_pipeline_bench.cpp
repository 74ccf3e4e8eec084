// Frames per second through a camera's work on one scene frame: decoding
// the frame buffer, updating the tracked objects and three product guards;
// and the heap allocations that work makes per frame.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "allocation_count.h"
#include "product_guards.h"
#include "recording_producer.h"
#include "scene/mote_scene.h"
#include "scene/mote_scene_parser.h"
#include "scene_encoder.h"

namespace {

constexpr int kSceneMask = 14;  // outline, velocity and confidence, as the program asks
constexpr uint64_t kFrameIntervalNs = 100000000;  // 10 frames per second
constexpr float kAspectRatio = 16.0f / 9.0f;
constexpr int16_t kFullConfidence = 4096;

// Where an object paces about: the centre of its walk.
struct Spot {
    int x;
    int y;
};

// Objects each moving a few units per frame about their spot and turning
// round now and then: most pace far enough to count as loiterers, every
// fifth stays close to where it started, like a swaying bush.
class WalkingObjects {
  public:
    explicit WalkingObjects(std::vector<Spot> spots) : m_spots(std::move(spots)) {}

    scene::FrameRecord nextFrame() {
        ++m_frame;
        scene::FrameRecord frame;
        frame.timestampNs = static_cast<uint64_t>(m_frame) * kFrameIntervalNs;
        for (std::size_t i = 0; i < m_spots.size(); ++i) {
            frame.objects.push_back(object(static_cast<int>(i)));
        }
        return frame;
    }

    std::size_t size() const { return m_spots.size(); }

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
        const Spot spot = m_spots[static_cast<std::size_t>(index)];
        const int x = spot.x + travelled;
        const int y = spot.y + travelled / 2;
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

    std::vector<Spot> m_spots;
    int m_frame = 0;
};

// 50 objects spread over the whole view.
std::vector<Spot> spreadOverTheView() {
    std::vector<Spot> spots;
    for (int i = 0; i < 50; ++i) {
        spots.push_back({-3700 + (i % 10) * 760, -3400 + (i / 10) * 1500});
    }
    return spots;
}

// 100 objects: 20 about the areas of profiles 2 to 4, and 80 in the upper
// left corner of the view, whose boxes stay clear of every area's box.
std::vector<Spot> mostlyFarFromTheAreas() {
    std::vector<Spot> spots;
    for (int i = 0; i < 20; ++i) {
        spots.push_back({-3000 + (i % 5) * 1300, -3000 + (i / 5) * 1300});
    }
    for (int i = 0; i < 80; ++i) {
        spots.push_back({-3900 + (i % 10) * 90, 1800 + (i / 10) * 230});
    }
    return spots;
}

// Runs frames of objects through the guards of the given profiles.
void playFrames(benchmark::State& state, WalkingObjects objects, const std::vector<int>& profiles) {
    guardtest::RecordingProducer producer;  // events go nowhere else
    std::vector<std::unique_ptr<DwellwatchGuard>> guards;
    for (const int uid : profiles) {
        guards.push_back(benchguards::profileGuard(uid, producer));
    }
    MoteSceneParser parser(0, kAspectRatio);
    int64_t alarmFrames = 0;
    int64_t allocations = 0;

    for (auto _ : state) {
        state.PauseTiming();
        const std::string buffer = scene::encodeFrame(objects.nextFrame());
        const int64_t allocationsBefore = benchalloc::count();
        state.ResumeTiming();

        {
            const MoteScene scene(buffer.c_str(), kSceneMask);
            const ParsedScene parsed = parser.parse(scene);
            bool alarm = false;
            for (const auto& guard : guards) {
                alarm = guard->checkObjects(parsed)->isAlarm() || alarm;
            }
            alarmFrames += alarm ? 1 : 0;
        }

        state.PauseTiming();
        allocations += benchalloc::count() - allocationsBefore;
        state.ResumeTiming();
    }

    if (parser.getStorage().getSize() != objects.size()) {
        state.SkipWithError("the frames did not reach the object storage");
    }
    state.counters["frames"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["alarm_share"] =
        benchmark::Counter(static_cast<double>(alarmFrames), benchmark::Counter::kAvgIterations);
    state.counters["allocs_per_frame"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

// Argument: how many of the first three profiles see the frames; 0 measures
// decoding and tracking alone.
void BM_CameraPipelineFrame(benchmark::State& state) {
    std::vector<int> profiles = {1, 2, 3};
    profiles.resize(static_cast<std::size_t>(state.range(0)));
    playFrames(state, WalkingObjects(spreadOverTheView()), profiles);
}
BENCHMARK(BM_CameraPipelineFrame)->ArgName("guards")->Arg(3)->Arg(0)->Unit(benchmark::kMicrosecond);

// Argument as above, for profiles 2 to 4, whose areas leave the upper left
// corner free.
void BM_CameraPipelineMostlyFarFrame(benchmark::State& state) {
    std::vector<int> profiles = {2, 3, 4};
    profiles.resize(static_cast<std::size_t>(state.range(0)));
    playFrames(state, WalkingObjects(mostlyFarFromTheAreas()), profiles);
}
BENCHMARK(BM_CameraPipelineMostlyFarFrame)
    ->ArgName("guards")
    ->Arg(3)
    ->Arg(0)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
