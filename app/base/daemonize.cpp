#include "daemonize.h"

#include <syslog.h>
#include <unistd.h>

#include <cstdlib>

#include "system_log.h"

namespace utils {
namespace {

[[noreturn]] void logAndExit(const std::string& name, const char* message, int status) {
    openlog(name.c_str(), kSystemLogOptions, LOG_USER);
    syslog(LOG_ERR, "%s\n", message);
    closelog();
    std::exit(status);
}

}  // namespace

void daemonize(const std::string& name) {
    const pid_t pid = fork();
    if (pid > 0) {
        std::exit(EXIT_SUCCESS);
    }
    if (pid < 0) {
        // No daemon was started: the launcher must see a failure.
        logAndExit(name, "Could not deamonize the application", EXIT_FAILURE);
    }
    if (setsid() < 0) {
        logAndExit(name, "Could not set sid for the application", EXIT_FAILURE);
    }
}

}  // namespace utils
