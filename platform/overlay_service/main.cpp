// overlaysim: the camera's overlay services on the bus that
// DBUS_SYSTEM_BUS_ADDRESS names, with the streams and other applications'
// overlays of an optional script. Runs until SIGINT or SIGTERM.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "overlay_service.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void requestStop(int) {
    g_stop = 1;
}

}  // namespace

int main(int argc, char** argv) {
    const char* address = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (address == nullptr || argc > 2) {
        std::fprintf(stderr, "usage: DBUS_SYSTEM_BUS_ADDRESS=... overlaysim [script.jsonl]\n");
        return 2;
    }
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    try {
        overlaysim::OverlayService service(address);
        std::printf("overlaysim: serving; pictures under %s\n",
                    overlaysim::OverlayService::picturePath(1).c_str());
        std::fflush(stdout);
        bool stop = false;
        std::thread watcher([&stop] {
            while (g_stop == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            stop = true;
        });
        std::string error;
        if (argc == 2 && !overlaysim::playScript(service, argv[1], stop, error)) {
            std::fprintf(stderr, "overlaysim: %s\n", error.c_str());
        }
        watcher.join();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
