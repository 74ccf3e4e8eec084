#include "events/motion_level_settings.h"

#include <jansson.h>

#include <stdexcept>

#include "base/persistent_config_handler.h"

bool MotionLevelSettings::save(bool active, const std::string& path) {
    json_t* settings = json_pack("{s:b}", "active", active ? 1 : 0);
    if (settings == nullptr) {
        throw std::runtime_error("Cannot create motion level active attribute");
    }
    const bool saved = PersistentConfigHandler::save(settings, path);
    json_decref(settings);
    return saved;
}
