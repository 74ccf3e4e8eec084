// The simulated thermal module at 640 × 480: uploading the ten gain tables of
// a camera through the FPGA's SPI protocol into the FPGA model, and the
// model's work per frame (a frame's histogram, and a whole frame: sensor
// read-out and histogram), which must leave room for 30 frames a second.
#include <benchmark/benchmark.h>

#include "calibration.h"
#include "calibration_files.h"
#include "device_simulation.h"
#include "fpga_model.h"
#include "sensor_model.h"
#include "temporary_root.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

thermalsim::SensorModel::Options sensorOptions() {
    thermalsim::SensorModel::Options options;
    options.width = kWidth;
    options.height = kHeight;
    return options;
}

void BM_UploadTenGainTables640(benchmark::State& state) {
    camlet::testing::TemporaryRoot root;
    thermalsim::CalibrationSet calibration;
    calibration.width = kWidth;
    calibration.height = kHeight;
    calibration.write();
    auto fpga = std::make_shared<thermalsim::FpgaModel>(thermalsim::FpgaModel::Options{}, nullptr);
    camlet::devices::DeviceRegistration node("/dev/spidev2.1", fpga);
    thermal::FpgaSpi spi;
    std::mutex mutex;
    std::atomic<bool> cancel{false};
    const thermal::GainTableLayout layout{kWidth * kHeight * 2, 270288960, 0xFED4000};
    for (auto _ : state) {
        if (thermal::uploadGainTables(spi, mutex, layout, 0, cancel) !=
            thermal::UploadResult::Done) {
            state.SkipWithError("upload failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * int64_t(layout.tableBytes) * 10);
}
BENCHMARK(BM_UploadTenGainTables640)->Unit(benchmark::kMillisecond);

void BM_FrameHistogram640(benchmark::State& state) {
    thermalsim::SensorModel sensor(sensorOptions());
    std::vector<uint16_t> frame;
    sensor.render(frame);
    for (auto _ : state) {
        benchmark::DoNotOptimize(thermalsim::histogramOf(frame));
    }
}
BENCHMARK(BM_FrameHistogram640)->Unit(benchmark::kMicrosecond);

void BM_ModelFrame640(benchmark::State& state) {
    auto sensor = std::make_shared<thermalsim::SensorModel>(sensorOptions());
    thermalsim::FpgaModel fpga({}, sensor);
    for (auto _ : state) {
        fpga.advanceFrame();
    }
}
BENCHMARK(BM_ModelFrame640)->Unit(benchmark::kMillisecond);

}  // namespace
