#include "run_options.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace pictor_run {

const char* const kUsage =
    "Usage: pictor_run [options] [MODULE]\n"
    "Runs a thermal camera module of the plug-in against a simulated module and shows\n"
    "what its control loop does, frame by frame.\n"
    "\n"
    "  --list                 print the plug-in's block types, one a line, in order\n"
    "  --plugin PATH          the plug-in to load (default: the one built with this program)\n"
    "  --module TYPE          the module type, e.g. Pico384pMod2T (or as the last argument)\n"
    "  --config JSON|@FILE    configuration merged over the module's defaults\n"
    "  --frames N             frames to run (default 300)\n"
    "  --fps F                frame rate of the simulated module (default 30)\n"
    "  --paced                one frame every 1/F seconds (default: as fast as possible)\n"
    "  --ambient C            ambient temperature at the start, °C (default 25)\n"
    "  --ambient-end C        ambient temperature at the end; it ramps linearly\n"
    "  --scene NAME           gradient, hotspot (default) or hotspot-pass (the hot spot\n"
    "                         only in the middle third of the run)\n"
    "  --print WHAT           frame, second (default) or none\n"
    "  --csv FILE             write every frame's values as CSV\n"
    "  --png-dir DIR          write the picture after gain and offset to DIR ...\n"
    "  --png-every K          ... every K frames (default 30 with --png-dir)\n"
    "  --chart FILE.svg       draw the values over time\n"
    "  --dbus                 publish com.zelk.ThermalSensor at /com/zelk/ThermalSensor/thermal\n"
    "  --private-bus          run on a private system bus of its own (its address is printed)\n"
    "  --thermography MODE    run the thermography service stand-in with this gain mode\n"
    "  --help                 this text\n";

namespace {

// Reads the whole text as a number with `convert` (std::stoi, std::stod).
template <typename Convert>
auto toNumber(const std::string& option, const std::string& text, const char* what,
              Convert convert) {
    size_t used = 0;
    decltype(convert(text, &used)) value{};
    try {
        value = convert(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size()) {
        throw std::invalid_argument(option + ": not " + what + ": " + text);
    }
    return value;
}

int toInt(const std::string& option, const std::string& text) {
    return toNumber(option, text, "a whole number",
                    [](const std::string& t, size_t* used) { return std::stoi(t, used); });
}

double toDouble(const std::string& option, const std::string& text) {
    return toNumber(option, text, "a number",
                    [](const std::string& t, size_t* used) { return std::stod(t, used); });
}

std::string configurationText(const std::string& value) {
    if (value.empty() || value[0] != '@') {
        return value;
    }
    std::ifstream file(value.substr(1));
    if (!file) {
        throw std::invalid_argument("--config: cannot read " + value.substr(1));
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

Scene toScene(const std::string& name) {
    if (name == "gradient") {
        return Scene::Gradient;
    }
    if (name == "hotspot") {
        return Scene::HotSpot;
    }
    if (name == "hotspot-pass") {
        return Scene::HotSpotPass;
    }
    throw std::invalid_argument("--scene: unknown scene: " + name);
}

Printing toPrinting(const std::string& name) {
    if (name == "frame") {
        return Printing::EveryFrame;
    }
    if (name == "second") {
        return Printing::EverySecond;
    }
    if (name == "none") {
        return Printing::Quiet;
    }
    throw std::invalid_argument("--print: frame, second or none, not " + name);
}

}  // namespace

RunOptions parseOptions(int argc, char** argv, const std::string& defaultPlugin) {
    RunOptions options;
    options.plugin = defaultPlugin;
    std::optional<double> ambientEnd;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                throw std::invalid_argument(option + " needs a value");
            }
            return argv[++i];
        };
        if (option == "--help" || option == "-h") {
            options.help = true;
        } else if (option == "--list") {
            options.list = true;
        } else if (option == "--plugin") {
            options.plugin = value();
        } else if (option == "--module") {
            options.run.module = value();
        } else if (option == "--config") {
            options.run.configuration =
                Pictor::BlockConfiguration::fromJson(configurationText(value()));
        } else if (option == "--frames") {
            options.run.frames = toInt(option, value());
        } else if (option == "--fps") {
            options.run.frameRate = toDouble(option, value());
        } else if (option == "--paced") {
            options.paced = true;
        } else if (option == "--ambient") {
            options.run.ambientC = toDouble(option, value());
        } else if (option == "--ambient-end") {
            ambientEnd = toDouble(option, value());
        } else if (option == "--scene") {
            options.run.scene = toScene(value());
        } else if (option == "--print") {
            options.printing = toPrinting(value());
        } else if (option == "--csv") {
            options.csvPath = value();
        } else if (option == "--png-dir") {
            options.pngDirectory = value();
        } else if (option == "--png-every") {
            options.pngEvery = toInt(option, value());
        } else if (option == "--chart") {
            options.chartPath = value();
        } else if (option == "--dbus") {
            options.run.dbus = true;
        } else if (option == "--private-bus") {
            options.privateBus = true;
        } else if (option == "--thermography") {
            options.thermographyGainMode = toInt(option, value());
        } else if (!option.empty() && option[0] != '-' && options.run.module.empty()) {
            options.run.module = option;
        } else {
            throw std::invalid_argument("unknown option: " + option);
        }
    }
    options.run.ambientEndC = ambientEnd.value_or(options.run.ambientC);
    if (options.run.frames < 1) {
        throw std::invalid_argument("--frames: at least 1");
    }
    if (!(options.run.frameRate > 0.0 && options.run.frameRate <= 1000.0)) {
        throw std::invalid_argument("--fps: above 0 and at most 1000");
    }
    if (!options.pngDirectory.empty() && options.pngEvery == 0) {
        options.pngEvery = 30;
    }
    if (options.pngEvery < 0) {
        throw std::invalid_argument("--png-every: at least 1");
    }
    if (!options.help && !options.list && options.run.module.empty()) {
        throw std::invalid_argument("no module given (see --list)");
    }
    return options;
}

}  // namespace pictor_run
