#include "sensor_fps_checker.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "pictor/log.h"

namespace {

// The stored form of a value: "%f", as the file holds it.
std::string formatted(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return text;
}

}  // namespace

SensorFpsChecker::SensorFpsChecker(const std::string& name,
                                   const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration),
      m_max_fps_in(add_inport<Pictor::float_value>("max_fps_in")),
      m_max_fps_out(add_outport<Pictor::float_value>("max_fps_out")),
      m_always_create_file(configuration.getBool("always_create_file", false)) {}

void SensorFpsChecker::setup() {
    m_last = stored_max_fps();
}

std::optional<std::string> SensorFpsChecker::file_path() {
    try {
        return pstore().get_path() + "max_fps";
    } catch (const std::runtime_error& error) {
        Pictor::ilog(Pictor::LogLevel::Error, "SensorFpsChecker: %s", error.what());
        return std::nullopt;
    }
}

std::string SensorFpsChecker::stored_text() {
    const std::optional<std::string> path = file_path();
    if (!path) {
        return {};
    }
    std::ifstream file(*path);
    std::string line;
    std::getline(file, line);
    return line;
}

std::optional<float> SensorFpsChecker::stored_max_fps() {
    const std::string text = stored_text();
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (end == text.c_str()) {
        return std::nullopt;
    }
    return value;
}

void SensorFpsChecker::process() {
    if (!m_max_fps_in.is_triggered()) {
        return;
    }
    const float max_fps = m_max_fps_in.get().value;
    // The file is compared by its text: a value that "%f" rounds reads back
    // as another float.
    if (max_fps != m_last || (m_always_create_file && stored_text() != formatted(max_fps))) {
        store(max_fps);
    }
    m_last = max_fps;
    m_max_fps_out.send({max_fps});
}

void SensorFpsChecker::store(float max_fps) {
    const std::optional<std::string> path = file_path();
    if (!path) {
        return;
    }
    std::FILE* file = std::fopen(path->c_str(), "w");
    if (file == nullptr) {
        Pictor::ilog(Pictor::LogLevel::Error, "SensorFpsChecker: cannot write %s: %s",
                     path->c_str(), std::strerror(errno));
        return;
    }
    std::fprintf(file, "%s", formatted(max_fps).c_str());
    if (std::fclose(file) != 0) {
        Pictor::ilog(Pictor::LogLevel::Error, "SensorFpsChecker: cannot write %s: %s",
                     path->c_str(), std::strerror(errno));
    }
}
