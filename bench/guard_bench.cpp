// Cost of one frame through the product's loitering guard: filters, area
// test with exclude areas, per-object times and the group timer; and the same
// with the frame's SVG picture built and sent to the platform's event log.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "base/interval_timer_observable.h"
#include "base/sdk_wrapper.h"
#include "dwellwatch/dwellwatch_guard.h"
#include "events/state_event_producer_i.h"
#include "geometry/polygon.h"
#include "guard/protection_area.h"
#include "scene_script.h"
#include "temporary_root.h"

namespace {

// Events go nowhere: only the guard's own work is measured.
class SilentProducer : public StateEventProducerI {
  public:
    StateEventProducerHandle registerEvent(int camera, const std::string&,
                                           const std::string& eventName,
                                           const std::string&) override {
        return StateEventProducerHandle{eventName, camera};
    }
    void unregisterEvent(const StateEventProducerHandle&) override {}
    void sendStartEvent(const StateEventProducerHandle&, const int64_t&) override {}
    void sendEndEvent(const StateEventProducerHandle&, const int64_t&) override {}
    void sendEndEvent(const StateEventProducerHandle&) override {}
};

// A ten-sided area around the centre of the view.
Polygon tenSidedArea() {
    const std::vector<Point> points = {{-3000, -500}, {-2500, 1800}, {-1000, 2800}, {500, 2600},
                                       {2200, 3000},  {3100, 1200},  {2800, -900},  {1600, -2600},
                                       {-200, -2900}, {-2200, -2400}};
    return Polygon(points.data(), static_cast<int>(points.size()));
}

std::unique_ptr<DwellwatchGuard> benchGuard(StateEventProducerI& producer) {
    auto guard =
        std::make_unique<DwellwatchGuard>(tenSidedArea(), "Bench", 1, 1, 3000000, "Dwellwatch",
                                          producer, 10 * guardtest::kSecond, 0, 0, -2, nullptr);
    guard->addExcludeArea(Polygon(-2800, -1800, -300, 700));
    guard->addExcludeArea(Polygon(-500, 500, -500, 500));
    guard->addExcludeArea(Polygon(1500, 2600, 1200, 2200));
    return guard;
}

// Objects on a grid over the whole view: some inside, some outside, some
// straddling the border or the exclude areas.
void playFrames(benchmark::State& state, Guard& guard) {
    const int objectCount = static_cast<int>(state.range(0));
    std::vector<guardtest::Box> boxes;
    for (int i = 0; i < objectCount; ++i) {
        const int x = -3800 + (i * 373) % 7600;
        const int y = -3800 + (i * 611) % 7600;
        boxes.push_back(guardtest::square(i + 1, x, y, 150));
    }

    guardtest::SceneScript script;
    int64_t time = 0;
    for (auto _ : state) {
        state.PauseTiming();
        time += guardtest::kFrameInterval;
        ParsedScene scene = script.frame(time, boxes);
        state.ResumeTiming();
        benchmark::DoNotOptimize(guard.checkObjects(scene));
    }
    state.SetItemsProcessed(state.iterations() * objectCount);
}

void BM_DwellwatchGuardFrame(benchmark::State& state) {
    SilentProducer producer;
    playFrames(state, *benchGuard(producer));
}
BENCHMARK(BM_DwellwatchGuardFrame)->Arg(20)->Arg(100)->Arg(500)->Unit(benchmark::kMicrosecond);

// The pictures go to the event stand-in, which appends each to its log file.
void BM_DwellwatchGuardFrameWithPicture(benchmark::State& state) {
    const camlet::testing::TemporaryRoot root;
    IntervalTimerObservable::initialize(10000);
    sdk_wrapper_init("dwellwatch", "Dwellwatch", "Zelk");
    {
        SilentProducer producer;
        auto guard = benchGuard(producer);
        if (!guard->enableVisualConfirmation("<g transform=\"matrix(1 0 0 -1 0 0)\" >")) {
            state.SkipWithError("the picture event could not be declared");
        }
        playFrames(state, *guard);
    }
    sdk_wrapper_cleanup();
    IntervalTimerObservable::deinitialize();
}
BENCHMARK(BM_DwellwatchGuardFrameWithPicture)->Arg(20)->Arg(100)->Unit(benchmark::kMicrosecond);

// One area test, for an object of the given position relative to the
// ten-sided area with its three exclude areas.
void areaTest(benchmark::State& state, const guardtest::Box& box) {
    ProtectionArea area(tenSidedArea());
    area.addExcludeArea(Polygon(-2800, -1800, -300, 700));
    area.addExcludeArea(Polygon(-500, 500, -500, 500));
    area.addExcludeArea(Polygon(1500, 2600, 1200, 2200));
    guardtest::SceneScript script;
    script.frame(0, {box});
    const TrackingObject& object = *script.find(box.id);
    for (auto _ : state) {
        benchmark::DoNotOptimize(area.checkObject(object));
    }
}

void BM_AreaTestFarOutside(benchmark::State& state) {
    areaTest(state, guardtest::square(1, -3800, 3800, 150));
}
BENCHMARK(BM_AreaTestFarOutside);

void BM_AreaTestInside(benchmark::State& state) {
    areaTest(state, guardtest::square(1, 1000, -1000, 150));
}
BENCHMARK(BM_AreaTestInside);

void BM_AreaTestAcrossTheBorder(benchmark::State& state) {
    areaTest(state, guardtest::square(1, 2950, 0, 150));
}
BENCHMARK(BM_AreaTestAcrossTheBorder);

void BM_AreaTestAcrossAnExcludeArea(benchmark::State& state) {
    areaTest(state, guardtest::square(1, 500, 0, 150));
}
BENCHMARK(BM_AreaTestAcrossAnExcludeArea);

}  // namespace
