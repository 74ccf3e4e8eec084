// One frame of the thermal control path: the histogram through the automatic
// gain control and the gain-mode block, whose mode drives the integration-time
// block along with the frame's FPA temperature. The blocks run on the
// caller's thread; the scene drifts so that the damping and the law work.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "pictor/pipeline.h"
#include "shutter_integration_time.h"
#include "thermal_agc_gof.h"
#include "thermal_gain_mode.h"

namespace {

void BM_ThermalControlFrame(benchmark::State& state) {
    Pictor::Pipeline pipeline;
    pipeline.add_block<ThermalAgcGofBlock>(
        "agc", Pictor::BlockConfiguration{{"damp_factor", 15},
                                          {"max_dev", 40},
                                          {"max_histogram_width", 4000.0},
                                          {"center_point", 2047.0},
                                          {"min_gain", 0.0625},
                                          {"max_gain", 6.67}});
    pipeline.add_block<ThermalGainModeBlock>("gain", Pictor::BlockConfiguration{});
    pipeline.add_block<ShutterIntegrationTimeX3Block>(
        "intt", Pictor::BlockConfiguration{{"intt_temp_limits", {13.275862069, 60.0}},
                                           {"intt_intt_limits", {371, 100}},
                                           {"intt_temp_factors", {448.0, -5.8, 0, 0}}});
    pipeline.connect("gain", "gain_mode_out", "intt", "gain_mode_in");
    pipeline.start(Pictor::Pipeline::Dispatch::Manual);
    pipeline.push("gain", "video_mode_enable_in", Pictor::datatype_int32{1});
    pipeline.push("gain", "video_mode_enable_in", Pictor::datatype_int32{2});

    int32_t frame = 0;
    for (auto _ : state) {
        ++frame;
        const int32_t drift = frame % 512;
        const Pictor::histogram_data histogram{8000 + drift, 12000 + 2 * drift, 10000 + drift,
                                               false};
        pipeline.push("agc", "histogram_in", histogram);
        pipeline.push("gain", "histogram_data_in", histogram);
        pipeline.push("intt", "fpa_temperature_in", Pictor::datatype_int32{30000 + drift * 20});
        benchmark::DoNotOptimize(pipeline.run_until_idle());
    }
}
BENCHMARK(BM_ThermalControlFrame);

}  // namespace
