#include "dw_startup_configuration.h"

#include <syslog.h>

#include <cstdlib>
#include <memory>

#include "base/persistent_config_handler.h"
#include "config/application.h"
#include "dwellwatch/dw_default_config_creator.h"

std::string DW_StartupConfiguration::loadOrCreate(const std::string& path) {
    PersistentConfigHandler::removeStaleTemporaryFiles(path);
    const std::string stored = PersistentConfigHandler::load(path);
    if (!stored.empty()) {
        return stored;
    }
    const std::string kept = PersistentConfigHandler::moveAside(path);
    if (!kept.empty()) {
        syslog(LOG_WARNING, "The configuration file %s could not be read; it is kept as %s\n",
               path.c_str(), kept.c_str());
    }
    const JsonAutoPtr document = DW_DefaultConfigCreator(false).create(
        Application::getDefaultValues(),
        Application::getApiVersionHandler().getHighestSupportedVersion());
    if (!document) {
        return "";
    }
    PersistentConfigHandler::save(document.get(), path);
    // The text as it is stored, so that what runs is what a restart reads.
    const std::unique_ptr<char, decltype(&std::free)> text(
        json_dumps(document.get(), JSON_REAL_PRECISION(4)), &std::free);
    return text ? text.get() : "";
}
