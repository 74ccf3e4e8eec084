// Hands arbitrary bytes to the configuration parser twice: as a document
// (as the API receives it) and as the stored file read back at start-up. A
// document the parser accepts is built into guards, and stored: whatever the
// store keeps must read back as it was written and be accepted again, as a
// restart would read it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/interval_timer_observable.h"
#include "base/persistent_config_handler.h"
#include "base/sdk_wrapper.h"
#include "config/application.h"
#include "config/configuration_parser.h"
#include "config/json_parser.h"
#include "dwellwatch/dw_guard_factory.h"
#include "temporary_root.h"

namespace {

constexpr const char* kConfigurationPath = "/usr/local/packages/dwellwatch/localdata/config.json";

// A single-channel device under a platform root of its own. The guards
// declare their events through the platform wrapper, whose delayed
// undeclarations run on the interval timer.
class Device {
  public:
    Device() {
        m_root.writeFile("/etc/camlet/parameters.conf",
                         "root.Properties.EmbeddedDevelopment.Version=2.16\n");
        IntervalTimerObservable::initialize(10000);
        sdk_wrapper_init("DwellwatchGuard", "Dwellwatch", "CamletPlatform");
    }
    ~Device() {
        sdk_wrapper_cleanup();
        IntervalTimerObservable::deinitialize();
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    void store(const std::string& cameraPath, const std::string& content) const {
        m_root.writeFile(cameraPath, content);
    }

  private:
    camlet::testing::TemporaryRoot m_root;
};

// Removed with its root when the fuzzer exits normally.
const Device* g_device = nullptr;

// Whether the parser accepts the text; an accepted one is built into guards.
bool parseAndBuild(const std::string& text) {
    ConfigurationParser<DW_GuardFactory> parser;
    parser.parse(text, Application::getDataBoundaries());
    if (parser.status() != STATUS_OK) {
        return false;
    }
    (void)parser.createConfigurations();
    return true;
}

std::string storedText(const json_t* document) {
    const std::unique_ptr<char, decltype(&std::free)> text(
        json_dumps(document, JSON_REAL_PRECISION(4)), &std::free);
    return text ? text.get() : "";
}

// Stores an accepted document as the API does and reads it back.
void saveAndReload(const std::string& accepted) {
    const JsonAutoPtr document(JsonParser::decode(accepted));
    if (!PersistentConfigHandler::save(document.get(), kConfigurationPath)) {
        return;  // refused: nothing was written
    }
    const std::string stored = PersistentConfigHandler::load(kConfigurationPath);
    if (stored != storedText(document.get()) || !parseAndBuild(stored)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    static const Device device;
    g_device = &device;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (parseAndBuild(bytes)) {
        saveAndReload(bytes);
    }

    g_device->store(kConfigurationPath, bytes);
    const std::string stored = PersistentConfigHandler::load(kConfigurationPath);
    if (!stored.empty()) {
        parseAndBuild(stored);
    }
    return 0;
}
