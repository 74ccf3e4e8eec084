#pragma once

#include <string>

namespace utils {

// Detaches the process from its parent and terminal: forks, the parent exits
// with status 0, and the child starts a new session. Returns in the child only.
void daemonize(const std::string& name);

}  // namespace utils
