#include "private_bus.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace camlet::testing {
namespace {

constexpr const char* kConfiguration = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <listen>unix:path=SOCKET</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
)";

std::string configurationFor(const std::string& socket) {
    std::string text = kConfiguration;
    text.replace(text.find("SOCKET"), 6, socket);
    return text;
}

// True once something accepts connections on the Unix socket at `path`. The
// socket file exists from the daemon's bind, before it listens, and a client
// connecting in between is refused.
bool acceptsConnections(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    path.copy(address.sun_path, path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool connected =
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return connected;
}

bool waitForListener(const std::string& path, int timeoutMs) {
    const gint64 deadline = g_get_monotonic_time() + gint64{timeoutMs} * 1000;
    while (!acceptsConnections(path)) {
        if (g_get_monotonic_time() > deadline) {
            return false;
        }
        g_usleep(5000);
    }
    return true;
}

}  // namespace

PrivateBus::PrivateBus() {
    char* dir = g_dir_make_tmp("camlet-bus-XXXXXX", nullptr);
    if (dir == nullptr) {
        throw std::runtime_error("Cannot create a directory for the private bus");
    }
    m_directory = dir;
    g_free(dir);
    const std::string socket = m_directory + "/system_bus_socket";
    const std::string configPath = m_directory + "/bus.conf";
    std::ofstream(configPath) << configurationFor(socket);

    const std::string configArgument = "--config-file=" + configPath;
    const char* argv[] = {"dbus-daemon", "--nofork", "--nopidfile", configArgument.c_str(),
                          nullptr};
    GPid pid = 0;
    GError* error = nullptr;
    if (!g_spawn_async(nullptr, const_cast<char**>(argv), nullptr,
                       GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD |
                                   G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL),
                       nullptr, nullptr, &pid, &error)) {
        const std::string message = error->message;
        g_error_free(error);
        throw std::runtime_error("Cannot start dbus-daemon: " + message);
    }
    m_pid = pid;
    if (!waitForListener(socket, 5000)) {
        stop();
        throw std::runtime_error("dbus-daemon did not open " + socket);
    }
    m_address = "unix:path=" + socket;
    setenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.c_str(), 1);
}

PrivateBus::~PrivateBus() {
    stop();
}

void PrivateBus::stop() {
    if (m_pid > 0) {
        unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    g_remove((m_directory + "/system_bus_socket").c_str());
    g_remove((m_directory + "/bus.conf").c_str());
    g_rmdir(m_directory.c_str());
}

}  // namespace camlet::testing
