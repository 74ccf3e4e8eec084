#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace camlet::testing {

// A program that a test runs beside the daemon, such as the scene
// simulator: started as a child process in the test's environment, with its
// standard output and error going to a log file, and ended with SIGTERM.
class ServiceProcess {
  public:
    ServiceProcess(std::string program, std::vector<std::string> arguments, std::string logPath);
    ~ServiceProcess();  // stops it
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // Starts the program; false when it cannot be started.
    bool start();
    // Waits up to the time-out until the file (a full path, such as the
    // service's socket) exists.
    bool waitForFile(const std::string& path, int timeoutMs = 5000) const;
    // Sends SIGTERM and waits for the end (SIGKILL after the time-out).
    void stop(int timeoutMs = 5000);

  private:
    std::string m_program;
    std::vector<std::string> m_arguments;
    std::string m_logPath;
    pid_t m_pid = -1;
};

}  // namespace camlet::testing
