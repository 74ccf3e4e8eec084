#include <syslog.h>

#include <cerrno>
#include <memory>

#include "base/api_version_handler.h"
#include "base/daemonize.h"
#include "base/interval_timer_observable.h"
#include "base/sdk_wrapper.h"
#include "base/status_exception.h"
#include "base/system_log.h"
#include "cgi/cgi_callback.h"
#include "config/application.h"
#include "config/configuration_parser.h"
#include "dwellwatch/dw_cgi_handler.h"
#include "dwellwatch/dw_guard_factory.h"
#include "dwellwatch/dw_startup_configuration.h"
#include "main/lifecycle.h"
#include "overlay/alarm_overlay.h"
#include "scene/camera_container_factory.h"
#include "zk_http.h"

namespace {

constexpr const char* kApplicationName = "DwellwatchGuard";
constexpr const char* kDisplayName = "Dwellwatch";
constexpr const char* kPlatformVendor = "CamletPlatform";
constexpr const char* const kSceneApiVersions[] = {"1.0", "1.1"};
constexpr unsigned kSceneOptionMask = 14;
constexpr int kTimerPeriodUs = 10000;
constexpr const char* kConfigurationPath = "/usr/local/packages/dwellwatch/localdata/config.json";

// Applies the stored configuration, or the default one saved first when none
// is stored. A document that does not parse leaves the cameras inactive until
// a valid one arrives through the API.
void applyStoredConfiguration(CameraContainer& cameraContainer) {
    const std::string text = DW_StartupConfiguration::loadOrCreate(kConfigurationPath);
    ConfigurationParser<DW_GuardFactory> parser;
    parser.parse(text, Application::getDataBoundaries());
    if (parser.status() == STATUS_OK) {
        cameraContainer.updateWithNewConfiguration(parser.createConfigurations());
    }
}

// Stops what start-up started before the scene transport (the alarm overlay
// comes right after the cameras), in shutdown order, and releases the
// lifecycle lock.
void stopProcessServices() {
    AlarmOverlay::disable();
    IntervalTimerObservable::deinitialize();
    sdk_wrapper_cleanup();
    closelog();
    Lifecycle::unlock();
}

}  // namespace

int main() {
    utils::daemonize(kDisplayName);
    Lifecycle::lock();
    openlog(kDisplayName, kSystemLogOptions, LOG_USER);
    if (!Lifecycle::installTerminationHandler()) {
        syslog(LOG_ERR, "Signal handler could not be set up, error: %d\n", errno);
    }
    IntervalTimerObservable::initialize(kTimerPeriodUs);
    sdk_wrapper_init(kApplicationName, kDisplayName, kPlatformVendor);
    const API_VersionHandler sceneVersions(kSceneApiVersions, 2);
    AlarmOverlay::enableIfSupported();
    // Blocks until a scene transport is reachable or termination is requested.
    std::unique_ptr<CameraContainer> cameraContainer = CameraContainerFactory::create(
        sceneVersions, kSceneOptionMask, Lifecycle::isTerminationRequested);
    if (!cameraContainer) {
        syslog(LOG_INFO, "Dwellwatch stopped while waiting for scene data\n");
        Lifecycle::abandonStartup();
        stopProcessServices();
        return 0;
    }
    Lifecycle::setCameraContainer(cameraContainer.get());
    if (cameraContainer->getCameraCount() == 0) {
        applyStoredConfiguration(*cameraContainer);
    }
    // The API parses requests with a parser of its own.
    ConfigurationParser<DW_GuardFactory> requestParser;
    DW_CGI_Handler cgiHandler(*cameraContainer, Application::getApiVersionHandler(),
                              kConfigurationPath, Application::getDataBoundaries(),
                              Application::getDefaultValues(), requestParser);
    ZKHttpHandler* httpHandler = zk_http_handler_new(CGI_Callback::handle, &cgiHandler);
    syslog(LOG_INFO, "Dwellwatch started\n");

    Lifecycle::waitForTermination();

    // A request in progress completes first; later ones get no answer.
    CGI_Callback::shutDown();
    zk_http_handler_free(httpHandler);
    cameraContainer->shutDown();
    cameraContainer.reset();
    Lifecycle::setCameraContainer(nullptr);
    stopProcessServices();
    return 0;
}
