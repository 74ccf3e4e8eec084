// scenesim: plays a scenario over both scene transports until SIGINT or SIGTERM.
//
//   scenesim [options] SCENARIO.jsonl
//   scenesim [options] --mot FILE --size WIDTHxHEIGHT --fps RATE [--channel N]
//
// Options: --speed FACTOR, --fast, --loop, --scene-version 1.0|1.1, --close-when-done,
// --stamp scenario|monotonic (frame times: the scenario's, the default, or the
// monotonic time of sending).

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "mot_import.h"
#include "scenario_reader.h"
#include "scene_simulator.h"

namespace {

struct Arguments {
    std::string scenarioPath;
    std::string motPath;
    scenesim::MotImage image;
    scenesim::SimulatorOptions options;
};

void usage() {
    std::fprintf(
        stderr,
        "usage: scenesim [--speed F | --fast] [--loop] [--scene-version V] [--close-when-done]\n"
        "                [--stamp scenario|monotonic]\n"
        "                (SCENARIO.jsonl | --mot FILE --size WxH --fps RATE [--channel N])\n");
    std::exit(2);
}

Arguments parse(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                usage();
            }
            return argv[++i];
        };
        if (arg == "--speed") {
            args.options.playback.speed = std::stod(value());
        } else if (arg == "--fast") {
            args.options.playback.paced = false;
        } else if (arg == "--loop") {
            args.options.playback.loop = true;
        } else if (arg == "--scene-version") {
            args.options.sceneVersion = value();
        } else if (arg == "--stamp") {
            const std::string stamp = value();
            if (stamp != "scenario" && stamp != "monotonic") {
                usage();
            }
            args.options.playback.monotonicStamp = stamp == "monotonic";
        } else if (arg == "--close-when-done") {
            args.options.closeWhenDone = true;
        } else if (arg == "--mot") {
            args.motPath = value();
        } else if (arg == "--size") {
            if (std::sscanf(value().c_str(), "%dx%d", &args.image.width, &args.image.height) != 2) {
                usage();
            }
        } else if (arg == "--fps") {
            args.image.fps = std::stod(value());
        } else if (arg == "--channel") {
            args.image.channel = std::stoi(value());
        } else if (arg.rfind("--", 0) == 0 || !args.scenarioPath.empty()) {
            usage();
        } else {
            args.scenarioPath = arg;
        }
    }
    if (args.scenarioPath.empty() == args.motPath.empty() || !(args.options.playback.speed > 0)) {
        usage();
    }
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Arguments args = parse(argc, argv);
        scenesim::Scenario scenario = args.motPath.empty()
                                          ? scenesim::readScenarioFile(args.scenarioPath)
                                          : scenesim::importMotFile(args.motPath, args.image);
        // The serving threads inherit the blocked signals; only sigwait takes them.
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);

        const size_t frames = scenario.size();
        scenesim::SceneSimulator simulator(std::move(scenario), args.options);
        simulator.start();
        std::fprintf(stderr, "scenesim: serving %zu frames\n", frames);
        int received = 0;
        sigwait(&signals, &received);
        simulator.stop();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "scenesim: %s\n", e.what());
        return 1;
    }
}
