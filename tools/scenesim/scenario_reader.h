#pragma once

#include <istream>
#include <string>

#include "scenario.h"

namespace scenesim {

// Reads a scenario of JSON lines, one frame per line (blank lines are
// skipped). Throws std::runtime_error naming the line of the first error.
Scenario readScenario(std::istream& in);
Scenario readScenarioFile(const std::string& path);

}  // namespace scenesim
