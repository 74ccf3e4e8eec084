#pragma once

#include <sys/types.h>

#include <string>

namespace camlet::testing {

// A dbus-daemon of the test's own, standing in for the camera's system bus:
// started in a fresh temporary directory, named by DBUS_SYSTEM_BUS_ADDRESS while
// the object lives, and stopped (its directory removed) on destruction. Every
// connection may own any name and send anything. The machine's own buses are
// never touched.
class PrivateBus {
  public:
    PrivateBus();  // throws std::runtime_error when the daemon does not come up
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    const std::string& address() const { return m_address; }

  private:
    void stop();

    std::string m_directory;
    std::string m_address;
    pid_t m_pid = -1;
};

}  // namespace camlet::testing
