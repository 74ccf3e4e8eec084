#include <jansson.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "overlay_service.h"

namespace overlaysim {
namespace {

int integer(const json_t* line, const char* name, int fallback) {
    const json_t* member = json_object_get(line, name);
    return json_is_integer(member) ? static_cast<int>(json_integer_value(member)) : fallback;
}

std::string text(const json_t* line, const char* name, const std::string& fallback) {
    const char* member = json_string_value(json_object_get(line, name));
    return member != nullptr ? member : fallback;
}

bool apply(OverlayService& service, const json_t* line, const std::string& event) {
    const int id = integer(line, "id", 1);
    if (event == "addStream") {
        StreamInfo stream;
        stream.id = id;
        stream.camera = integer(line, "camera", 1);
        stream.type = text(line, "type", stream.type);
        const std::string resolution = text(line, "resolution", "1920x1080");
        if (std::sscanf(resolution.c_str(), "%dx%d", &stream.width, &stream.height) != 2) {
            return false;
        }
        stream.rotation = integer(line, "rotation", 0);
        stream.mirror = json_is_true(json_object_get(line, "mirror"));
        service.addStream(stream);
    } else if (event == "removeStream") {
        service.removeStream(id);
    } else if (event == "addOverlay") {
        OverlayInfo overlay;
        overlay.id = id;
        overlay.type = text(line, "type", overlay.type);
        overlay.position = text(line, "position", overlay.position);
        overlay.size = text(line, "size", overlay.size);
        overlay.scalable = json_is_true(json_object_get(line, "scalable"));
        overlay.camera = integer(line, "camera", 1);
        service.addOverlay(overlay);
    } else if (event == "changeOverlay") {
        service.changeOverlay(id, text(line, "position", ""), text(line, "size", ""));
    } else if (event == "removeOverlay") {
        service.removeOverlay(id);
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool playScript(OverlayService& service, const std::string& path, const bool& stop,
                std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    const auto start = std::chrono::steady_clock::now();
    std::string content;
    for (int number = 1; std::getline(in, content); ++number) {
        if (content.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        json_t* line = json_loads(content.c_str(), 0, nullptr);
        const json_t* at = json_object_get(line, "at");
        const std::string event = text(line, "event", "");
        if (!json_is_number(at) || event.empty()) {
            json_decref(line);
            error = path + ":" + std::to_string(number) + ": needs \"at\" and \"event\"";
            return false;
        }
        const auto due =
            start + std::chrono::milliseconds(static_cast<long long>(json_number_value(at) * 1000));
        while (!stop && std::chrono::steady_clock::now() < due) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const bool applied = !stop && apply(service, line, event);
        json_decref(line);
        if (stop) {
            return true;
        }
        if (!applied) {
            error = path + ":" + std::to_string(number) + ": cannot apply \"" + event + "\"";
            return false;
        }
    }
    return true;
}

}  // namespace overlaysim
