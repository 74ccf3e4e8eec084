// The runner's work: 1000 frames of a 640 × 480 camera module of the thermal
// plug-in against the simulated module, as fast as they go (the simulated
// sensor's read-out, the FPGA block, the control loop and the AGC).
#include <benchmark/benchmark.h>

#include "pictor/registry.h"
#include "thermal_run.h"

namespace {

void BM_RunnerThousandFrames640(benchmark::State& state) {
    Pictor::Registry registry;
    if (registry.load_plugin(THERMAL_PLUGIN_PATH) != 0) {
        state.SkipWithError("the plug-in did not register");
        return;
    }
    pictor_run::RunSettings settings;
    settings.module = "Pico640g2Mod1S";
    settings.frames = 1000;
    settings.ambientC = 20.0;
    settings.ambientEndC = 35.0;
    for (auto _ : state) {
        state.PauseTiming();
        auto run = std::make_unique<pictor_run::ThermalRun>(registry, settings);
        state.ResumeTiming();
        for (int i = 0; i < settings.frames; ++i) {
            benchmark::DoNotOptimize(run->step());
        }
        state.PauseTiming();
        run.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * settings.frames);
}
BENCHMARK(BM_RunnerThousandFrames640)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
