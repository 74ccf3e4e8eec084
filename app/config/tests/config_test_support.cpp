#include "config_test_support.h"

#include <syslog.h>

#include <cstdlib>
#include <memory>

#include "base/interval_timer_observable.h"
#include "base/sdk_wrapper.h"

namespace configtest {

const char* const kSingleChannelDevice =
    "root.Properties.EmbeddedDevelopment.Version = 2.16\n"
    "root.Brand.ProdNbr = CL-1010\n"
    "ImageSource.I0.Sensor.AspectRatio = 16:9\n"
    "root.Properties.Image.Resolution = 1920x1080,1280x720,800x600,640x360\n";

const char* const kTwoChannelDevice =
    "root.Properties.EmbeddedDevelopment.Version = 2.16\n"
    "root.Brand.ProdNbr = CL-Tm303-20\n"
    "root.Properties.EmbeddedDevelopment.RuleEngine.MultiConfiguration = yes\n"
    "root.ImageSource.NbrOfSources = 2\n"
    "ImageSource.I0.Sensor.AspectRatio = 4:3\n"
    "root.Properties.Image.Resolution = 800x600,640x480\n";

const char* const kMechanicalPtzDevice =
    "root.Properties.EmbeddedDevelopment.Version = 2.16\n"
    "root.Brand.ProdNbr = CL-6060-P\n"
    "root.Properties.PTZ.PTZ = yes\n"
    "ImageSource.I0.Sensor.AspectRatio = 16:9\n"
    "root.Properties.Image.Resolution = 1920x1080,1280x720\n";

const char* const kConfigurationDirectory = "/usr/local/packages/dwellwatch/localdata";

namespace {

std::unique_ptr<camlet::testing::TemporaryRoot> g_root;

class DeviceEnvironment : public ::testing::Environment {
  public:
    explicit DeviceEnvironment(std::string parameters) : m_parameters(std::move(parameters)) {}

    void SetUp() override {
        g_root = std::make_unique<camlet::testing::TemporaryRoot>();
        g_root->writeFile("/etc/camlet/parameters.conf", m_parameters);
        IntervalTimerObservable::initialize(10000);
        sdk_wrapper_init("DwellwatchGuard", "Dwellwatch", "CamletPlatform");
    }

    void TearDown() override {
        sdk_wrapper_cleanup();
        IntervalTimerObservable::deinitialize();
        g_root.reset();
    }

  private:
    std::string m_parameters;
};

}  // namespace

bool runOnDevice(const char* parameters) {
    // Every test file names the device; the program registers it once.
    static const char* s_device = nullptr;
    if (s_device == nullptr) {
        s_device = parameters;
        ::testing::AddGlobalTestEnvironment(new DeviceEnvironment(parameters));
    }
    return s_device == parameters;
}

const camlet::testing::TemporaryRoot& root() {
    return *g_root;
}

std::string answerText(const json_t* value) {
    const std::unique_ptr<char, decltype(&std::free)> text(
        json_dumps(value, JSON_COMPACT | JSON_REAL_PRECISION(4)), &std::free);
    return text ? text.get() : "";
}

LogCapture::LogCapture() {
    openlog("config_test", LOG_PERROR, LOG_USER);
    testing::internal::CaptureStderr();
}

LogCapture::~LogCapture() {
    if (!m_taken) {
        testing::internal::GetCapturedStderr();
    }
    openlog(nullptr, 0, LOG_USER);  // drops the copy to stderr again
    closelog();
}

std::string LogCapture::take() {
    m_taken = true;
    return testing::internal::GetCapturedStderr();
}

}  // namespace configtest
