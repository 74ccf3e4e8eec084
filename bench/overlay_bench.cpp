// Drawing cost of the alarm overlay per frame on a 1920 × 1080 stream (a
// 960 × 1072 surface): 20 boxes and one 10-vertex area outline drawn, then
// erased, as every frame with alarms does.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "geometry/polygon.h"
#include "guard/alarm_data.h"
#include "guard/alarm_data_container.h"
#include "overlay/alarm_drawing.h"
#include "overlay/cairo_handler.h"
#include "overlay/cairo_wrapper.h"

namespace {

const Point kArea[] = {{-2000, -1500}, {1700, -1500}, {1700, 1200},  {900, 1400},  {400, 600},
                       {-100, 600},    {-500, 1400},  {-1500, 1400}, {-2300, 300}, {-2300, -800}};

void BM_DrawAndEraseFrame(benchmark::State& state) {
    if (!Cairo::initialize()) {
        state.SkipWithError("the drawing library cannot be loaded");
        return;
    }
    const StreamSettings settings(1920, 1080, 0, false);
    const ExternalOverlayUnion noBands;
    const Polygon area(kArea, 10);
    AlarmDataContainer alarms;
    auto data = std::make_unique<AlarmData>(1);
    data->addPolygonToDisplay(&area);
    alarms.insert(std::move(data));
    const std::vector<int> profiles{1};
    CairoBoundingBoxContainer boxes;
    for (int i = 0; i < 20; ++i) {  // people-sized boxes spread over the image
        boxes.insert(i, -3500 + (i % 5) * 1700, -3000 + (i / 5) * 1900, 400, 1100, settings,
                     noBands);
    }
    {
        CairoHandler drawer(settings, noBands);
        const AlarmDrawing drawing{alarms, profiles, boxes, settings, noBands};
        for (auto _ : state) {
            benchmark::DoNotOptimize(renderCairoData(drawer, drawing));
            clearCairoSurface(drawer, drawing);
        }
    }
    Cairo::deinitialize();
}
BENCHMARK(BM_DrawAndEraseFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
