#include "service_process.h"

#include <fcntl.h>
#include <glib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "wait_until.h"

namespace camlet::testing {

ServiceProcess::ServiceProcess(std::string program, std::vector<std::string> arguments,
                               std::string logPath)
    : m_program(std::move(program)),
      m_arguments(std::move(arguments)),
      m_logPath(std::move(logPath)) {}

ServiceProcess::~ServiceProcess() {
    stop();
}

bool ServiceProcess::start() {
    std::vector<char*> argv;
    argv.push_back(m_program.data());
    for (std::string& argument : m_arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        const int log = open(m_logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        execv(m_program.c_str(), argv.data());
        _exit(127);
    }
    return m_pid > 0;
}

bool ServiceProcess::waitForFile(const std::string& path, int timeoutMs) const {
    return waitUntil([&] { return g_file_test(path.c_str(), G_FILE_TEST_EXISTS) != FALSE; },
                     timeoutMs);
}

void ServiceProcess::stop(int timeoutMs) {
    if (m_pid <= 0) {
        return;
    }
    kill(m_pid, SIGTERM);
    if (!waitUntil([&] { return waitpid(m_pid, nullptr, WNOHANG) != 0; }, timeoutMs)) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    m_pid = -1;
}

}  // namespace camlet::testing
