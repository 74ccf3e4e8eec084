#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "base/sdk_wrapper.h"
#include "overlay/alarm_overlay.h"
#include "overlay_service.h"
#include "private_bus.h"
#include "temporary_root.h"

namespace {

// A device as the parameters and machine name describe it, with or without
// the overlay services: ends the process with 0 when enabling is refused
// without any call to the services, else with 1 (before the bus goes, which
// would end it by a signal).
[[noreturn]] void exitWithRefusal(const std::string& parameters, const std::string& machine,
                                  bool withServices) {
    camlet::testing::TemporaryRoot root;
    root.writeFile("/etc/camlet/parameters.conf", parameters);
    root.writeFile("/sys/devices/soc0/machine", machine);
    camlet::testing::PrivateBus bus;
    std::unique_ptr<overlaysim::OverlayService> service;
    if (withServices) {
        service = std::make_unique<overlaysim::OverlayService>(bus.address());
    }
    sdk_wrapper_init("DwellwatchGuard", "Dwellwatch", "CamletPlatform");
    AlarmOverlay::enableIfSupported();
    const bool refused = !AlarmOverlay::isEnabled() && (!service || service->calls().empty());
    std::_Exit(refused ? 0 : 1);
}

const std::string kOneChannel =
    "root.Properties.EmbeddedDevelopment.Version=2.16\n"
    "ImageSource.I0.Sensor.AspectRatio=16:9\n"
    "root.Properties.Image.Resolution=1920x1080\n";

// Device facts are read once per process: each device runs in a child
// process of its own, forked from a parent that never reads them.
TEST(AlarmOverlayRefusal, UnsupportedDevicesNeverTalkToTheServices) {
    const auto refusedIn = exitWithRefusal;
    EXPECT_EXIT(
        refusedIn(kOneChannel +
                      "root.Properties.EmbeddedDevelopment.RuleEngine.MultiConfiguration=yes\n"
                      "root.ImageSource.NbrOfSources=2\n",
                  "Generic", true),
        ::testing::ExitedWithCode(0), "")
        << "two channels";
    EXPECT_EXIT(refusedIn(kOneChannel, "Ambarella CL-1010 board", true), ::testing::ExitedWithCode(0),
                "");
    EXPECT_EXIT(refusedIn("root.Properties.EmbeddedDevelopment.Version=2.14\n"
                          "ImageSource.I0.Sensor.AspectRatio=16:9\n"
                          "root.Properties.Image.Resolution=1920x1080\n",
                          "Generic", true),
                ::testing::ExitedWithCode(0), "")
        << "platform 2.14";
    EXPECT_EXIT(refusedIn(kOneChannel, "Generic", false), ::testing::ExitedWithCode(0), "")
        << "no services on the bus";
    // The same device with the services is not refused.
    EXPECT_EXIT(refusedIn(kOneChannel, "Generic", true), ::testing::ExitedWithCode(1), "");
}

}  // namespace
