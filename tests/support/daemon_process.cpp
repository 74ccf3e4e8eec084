#include "daemon_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "wait_until.h"

namespace camlet::testing {
namespace {

pid_t parentOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // The command name is in parentheses and may contain blanks.
    const auto close = line.rfind(')');
    if (close == std::string::npos) {
        return -1;
    }
    std::istringstream rest(line.substr(close + 2));
    char state;
    long parent = -1;
    rest >> state >> parent;
    return static_cast<pid_t>(parent);
}

std::set<pid_t> children() {
    std::set<pid_t> found;
    DIR* proc = opendir("/proc");
    while (dirent* entry = readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atol(entry->d_name));
        if (pid > 0 && parentOf(pid) == getpid()) {
            found.insert(pid);
        }
    }
    closedir(proc);
    return found;
}

// A child of this process that is not one of the others (such as a service
// the test started before the daemon); -1 when there is none.
pid_t findChildExcept(const std::set<pid_t>& others) {
    for (const pid_t pid : children()) {
        if (others.count(pid) == 0) {
            return pid;
        }
    }
    return -1;
}

int exitStatus(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

DaemonProcess::DaemonProcess(std::string program, std::string logPath)
    : m_program(std::move(program)), m_logPath(std::move(logPath)) {
    prctl(PR_SET_CHILD_SUBREAPER, 1);
}

DaemonProcess::~DaemonProcess() {
    // Also a daemon whose pid the test never asked for (it failed before).
    if (m_launched && daemonPid() > 0) {
        kill(m_daemon, SIGKILL);
        waitpid(m_daemon, nullptr, 0);
    }
}

int DaemonProcess::launch() {
    m_otherChildren = children();
    m_launched = true;
    const pid_t launcher = fork();
    if (launcher == 0) {
        const int log = open(m_logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(log, STDERR_FILENO);
        execl(m_program.c_str(), m_program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(launcher, &status, 0);
    return exitStatus(status);
}

pid_t DaemonProcess::daemonPid() {
    if (m_daemon <= 0) {
        m_daemon = findChildExcept(m_otherChildren);
    }
    return m_daemon;
}

bool DaemonProcess::waitForLog(const std::string& text, int timeoutMs) const {
    return waitUntil([&] { return log().find(text) != std::string::npos; }, timeoutMs);
}

std::string DaemonProcess::log() const {
    std::ifstream in(m_logPath);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int DaemonProcess::terminate(int signal, int timeoutMs) {
    if (daemonPid() <= 0) {
        return -1;
    }
    kill(m_daemon, signal);
    int status = 0;
    if (!waitUntil([&] { return waitpid(m_daemon, &status, WNOHANG) != 0; }, timeoutMs)) {
        return -1;
    }
    m_daemon = -1;
    return exitStatus(status);
}

}  // namespace camlet::testing
