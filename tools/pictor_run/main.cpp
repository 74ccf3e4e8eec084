// pictor_run: runs a camera module of the thermal plug-in against the
// simulated thermal module, frame by frame, and shows what it does.
#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <thread>

#include "corbel/api_registry.h"
#include "frame_report.h"
#include "private_bus.h"
#include "run_options.h"
#include "thermal_run.h"
#include "thermography_service.h"

namespace {

using namespace pictor_run;

void printTypes(const Pictor::Registry& registry) {
    for (const std::string& type : registry.type_names()) {
        std::cout << type << '\n';
    }
}

std::string pngPath(const std::string& directory, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%05d.png", frame);
    return directory + name;
}

// Writes what a frame asks for: a line, a CSV row, a picture.
class FrameOutputs {
  public:
    explicit FrameOutputs(const RunOptions& options) : m_options(options) {
        if (!options.csvPath.empty()) {
            m_csv = std::make_unique<CsvWriter>(options.csvPath);
        }
    }

    void take(const ThermalRun& run, const FrameValues& values) {
        const int perSecond = std::max(1, int(m_options.run.frameRate + 0.5));
        if (m_options.printing == Printing::EveryFrame ||
            (m_options.printing == Printing::EverySecond && values.frame % perSecond == 0)) {
            std::cout << formatFrameLine(values) << std::endl;
        }
        if (m_csv) {
            m_csv->write(values);
        }
        if (m_options.pngEvery > 0 && values.frame % m_options.pngEvery == 0) {
            std::string error;
            if (!writeGreyPng(pngPath(m_options.pngDirectory, values.frame), run.displayImage(),
                              run.width(), run.height(), error)) {
                throw std::runtime_error(error);
            }
        }
        m_frames.push_back(values);
    }

    void finish() const {
        if (m_options.chartPath.empty()) {
            return;
        }
        std::string error;
        if (!writeSvgChart(m_options.chartPath, m_frames, m_options.run.module, error)) {
            throw std::runtime_error(error);
        }
    }

  private:
    const RunOptions& m_options;
    std::unique_ptr<CsvWriter> m_csv;
    std::vector<FrameValues> m_frames;
};

int run(const RunOptions& options) {
    Pictor::Registry registry;
    if (registry.load_plugin(options.plugin) != 0) {
        std::cerr << "pictor_run: the plug-in's registration failed\n";
        return 1;
    }
    if (options.list) {
        printTypes(registry);
        return 0;
    }
    std::unique_ptr<camlet::testing::PrivateBus> bus;
    if (options.privateBus) {
        bus = std::make_unique<camlet::testing::PrivateBus>();
        std::cout << "bus: " << bus->address() << std::endl;
    }
    std::unique_ptr<thermalsim::ThermographyService> thermography;
    if (options.thermographyGainMode) {
        thermography =
            std::make_unique<thermalsim::ThermographyService>(*options.thermographyGainMode, 0);
    }
    ThermalRun thermalRun(registry, options.run);
    if (options.run.dbus) {
        std::cout << "dbus: com.zelk.ThermalSensor at /com/zelk/ThermalSensor/thermal of "
                  << corbel::CorbelHelper::global_helper().unique_name() << std::endl;
    }
    FrameOutputs outputs(options);
    const auto period = std::chrono::duration<double>(1.0 / options.run.frameRate);
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < options.run.frames; ++frame) {
        if (options.paced) {
            std::this_thread::sleep_until(
                start +
                std::chrono::duration_cast<std::chrono::steady_clock::duration>(period * frame));
        }
        outputs.take(thermalRun, thermalRun.step());
    }
    outputs.finish();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const RunOptions options = parseOptions(argc, argv, PICTOR_RUN_DEFAULT_PLUGIN);
        if (options.help) {
            std::cout << kUsage;
            return 0;
        }
        return run(options);
    } catch (const std::exception& error) {
        std::cerr << "pictor_run: " << error.what() << '\n';
        return 1;
    }
}
