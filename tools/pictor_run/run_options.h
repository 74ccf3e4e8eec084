#pragma once

#include <optional>
#include <string>

#include "thermal_run.h"

namespace pictor_run {

enum class Printing { EveryFrame, EverySecond, Quiet };

struct RunOptions {
    RunSettings run;
    std::string plugin;
    bool list = false;
    bool help = false;
    bool paced = false;
    Printing printing = Printing::EverySecond;
    std::string csvPath;
    std::string pngDirectory;
    int pngEvery = 0;
    std::string chartPath;
    bool privateBus = false;
    std::optional<int> thermographyGainMode;
};

// Reads the command line; throws std::invalid_argument with a message for
// the user on a bad option or value.
RunOptions parseOptions(int argc, char** argv, const std::string& defaultPlugin);

extern const char* const kUsage;

}  // namespace pictor_run
