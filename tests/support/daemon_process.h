#pragma once

#include <sys/types.h>

#include <set>
#include <string>

namespace camlet::testing {

// Runs a program that daemonizes, as the platform would start it, and keeps
// hold of the detached daemon: the test process becomes a child subreaper,
// so the daemon is re-parented to it and its exit status can be collected.
// Standard error of both goes to a log file.
class DaemonProcess {
public:
    DaemonProcess(std::string program, std::string logPath);
    ~DaemonProcess();  // kills a daemon that is still running
    DaemonProcess(const DaemonProcess&) = delete;
    DaemonProcess& operator=(const DaemonProcess&) = delete;

    // Starts the program; returns the launcher's exit status (-1 when it did
    // not exit normally).
    int launch();
    // The detached daemon's pid, once the launcher has exited; -1 when none.
    pid_t daemonPid();
    // Waits up to the time-out for the log to contain the text.
    bool waitForLog(const std::string& text, int timeoutMs = 5000) const;
    std::string log() const;
    // Sends a signal and waits up to the time-out for the daemon to end;
    // returns its exit status, or -1 when it did not exit normally in time.
    int terminate(int signal, int timeoutMs = 10000);

private:
    std::string m_program;
    std::string m_logPath;
    pid_t m_daemon = -1;
    std::set<pid_t> m_otherChildren;  // children the test had before the launch
    bool m_launched = false;
};

}  // namespace camlet::testing
