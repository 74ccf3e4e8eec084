// Plays a scenario through a camera's detection path as fast as it goes
// (frame decoding, tracking and four product guards, no transport) and
// prints what the guards decided: every state event with its frame time, and
// one line per frame with each guard's alarm flag and object verdicts. Two
// builds that print the same lines for a scenario detect the same way on it.
// The CPU time per frame goes to standard error.
//
//   detection_replay SCENARIO.jsonl
//   detection_replay --mot FILE --size WxH --fps RATE
#include <cstdio>
#include <ctime>
#include <exception>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "frame_builder.h"
#include "mot_import.h"
#include "product_guards.h"
#include "recording_producer.h"
#include "scenario_reader.h"
#include "scene/mote_scene.h"
#include "scene/mote_scene_parser.h"

namespace {

constexpr unsigned kSceneMask = 14;  // outline, velocity and confidence, as the program asks
constexpr float kAspectRatio = 16.0f / 9.0f;

scenesim::Scenario readScenario(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1) {
        return scenesim::readScenarioFile(args[0]);
    }
    if (args.size() == 6 && args[0] == "--mot" && args[2] == "--size" && args[4] == "--fps") {
        scenesim::MotImage image;
        if (std::sscanf(args[3].c_str(), "%dx%d", &image.width, &image.height) != 2) {
            throw std::runtime_error("--size takes WxH");
        }
        image.fps = std::stod(args[5]);
        return scenesim::importMotFile(args[1], image);
    }
    throw std::runtime_error("usage: detection_replay SCENARIO | --mot FILE --size WxH --fps RATE");
}

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string verdicts(const AlarmData& data) {
    std::string line = data.isAlarm() ? " A:" : " -:";
    for (const ObjectAlarmStatus& entry : data.getObjects()) {
        line += std::to_string(entry.object->getId()) + "=" + std::to_string(entry.status) + ",";
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) try {
    const scenesim::Scenario scenario = readScenario(argc, argv);
    std::vector<std::unique_ptr<guardtest::RecordingProducer>> producers;
    std::vector<std::unique_ptr<DwellwatchGuard>> guards;
    for (int uid = 1; uid <= benchguards::kProfileCount; ++uid) {
        producers.push_back(std::make_unique<guardtest::RecordingProducer>());
        guards.push_back(benchguards::profileGuard(uid, *producers.back()));
    }
    MoteSceneParser parser(0, kAspectRatio);

    double cpu = 0.0;
    for (const scenesim::ScenarioFrame& frame : scenario) {
        const std::string text = scenesim::buildFrame(frame, kSceneMask);
        const double start = cpuSeconds();
        const MoteScene scene(text.c_str(), static_cast<int>(kSceneMask));
        const ParsedScene parsed = parser.parse(scene);
        std::vector<std::unique_ptr<AlarmData>> results;
        for (const auto& guard : guards) {
            results.push_back(guard->checkObjects(parsed));
        }
        cpu += cpuSeconds() - start;

        std::string line = "frame " + std::to_string(frame.timeUs);
        for (const auto& result : results) {
            line += result ? verdicts(*result) : " skipped";
        }
        std::cout << line << '\n';
    }
    for (std::size_t i = 0; i < producers.size(); ++i) {
        for (const std::string& event : producers[i]->sent) {
            std::cout << "profile " << i + 1 << ' ' << event << '\n';
        }
    }
    std::cerr << scenario.size() << " frames, " << cpu * 1e6 / static_cast<double>(scenario.size())
              << " us of CPU per frame\n";
    return 0;
} catch (const std::exception& error) {
    std::cerr << "detection_replay: " << error.what() << '\n';
    return 1;
}
