// Hands arbitrary bytes to the JSON API as a request body: repair, envelope,
// dispatch and every method, with cameras that hold guards but get no frames.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/interval_timer_observable.h"
#include "base/sdk_wrapper.h"
#include "cgi/cgi_callback.h"
#include "config/application.h"
#include "config/configuration_parser.h"
#include "dwellwatch/dw_cgi_handler.h"
#include "dwellwatch/dw_guard_factory.h"
#include "dwellwatch/dw_startup_configuration.h"
#include "temporary_root.h"

namespace {

constexpr const char* kConfigurationPath = "/usr/local/packages/dwellwatch/localdata/config.json";
constexpr const char* const kSceneVersions[] = {"1.0", "1.1"};

class IdleCamera : public Camera {
  public:
    using Camera::Camera;
    void handleMoteData(char* /*frame*/) override {}
};

class IdleCameraContainer : public CameraContainer {
  public:
    IdleCameraContainer() : CameraContainer(API_VersionHandler(kSceneVersions, 2), 14) {}

  protected:
    std::unique_ptr<Camera> createCamera(int cameraId, int rotation,
                                         const API_VersionHandler& versions, int mask) override {
        return std::make_unique<IdleCamera>(cameraId, rotation, versions, mask);
    }
    void shutDownSub() override {}
};

// A single-channel device under a platform root of its own, kept for the run.
struct Device {
    Device() {
        root.writeFile("/etc/camlet/parameters.conf",
                       "root.Properties.EmbeddedDevelopment.Version = 2.16\n"
                       "root.Brand.ProdNbr = CL-1010\n"
                       "ImageSource.I0.Sensor.AspectRatio = 16:9\n"
                       "root.Properties.Image.Resolution = 1920x1080,1280x720\n");
        IntervalTimerObservable::initialize(10000);
        // The device itself is never destroyed, but the timer thread must be
        // stopped before the exit handlers destroy the timer's observer lists.
        std::atexit(IntervalTimerObservable::deinitialize);
        sdk_wrapper_init("DwellwatchGuard", "Dwellwatch", "CamletPlatform");
        DW_StartupConfiguration::loadOrCreate(kConfigurationPath);
    }

    camlet::testing::TemporaryRoot root;
    IdleCameraContainer cameras;
    ConfigurationParser<DW_GuardFactory> parser;
    DW_CGI_Handler handler{cameras,
                           Application::getApiVersionHandler(),
                           kConfigurationPath,
                           Application::getDataBoundaries(),
                           Application::getDefaultValues(),
                           parser};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Device* device = new Device();  // lives until the process ends
    // The HTTP library hands the body over as a text, so it ends at a NUL.
    const std::string request(reinterpret_cast<const char*>(data), size);
    const std::string answer = CGI_Callback::createAnswer(device->handler, request.c_str());
    if (answer.empty()) {
        std::abort();  // every request gets an answer
    }
    return 0;
}
