#include "iio_dac.h"

#include "camlet_root.h"
#include "pictor/log.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace thermal {
namespace {

constexpr const char* kIioDevices = "/sys/bus/iio/devices";

// Reads the first line of a sysfs file; none (errno set) when it cannot be opened.
std::optional<std::string> readLine(const std::string& cameraPath) {
    std::ifstream file(camlet::rootedPath(cameraPath));
    if (!file) {
        return std::nullopt;
    }
    std::string line;
    std::getline(file, line);
    return line;
}

// Writes a sysfs attribute; like sysfs, a file that is not there is not created.
bool writeText(const std::string& cameraPath, const std::string& text) {
    const int fd = ::open(camlet::rootedPath(cameraPath).c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        Pictor::ilog(Pictor::LogLevel::Error, "Failed to open %s: %s", cameraPath.c_str(),
                     std::strerror(errno));
        return false;
    }
    const std::string line = text + "\n";
    const bool written = ::write(fd, line.data(), line.size()) == ssize_t(line.size());
    if (!written) {
        Pictor::ilog(Pictor::LogLevel::Error, "Failed to write %s: %s", cameraPath.c_str(),
                     std::strerror(errno));
    }
    ::close(fd);
    return written;
}

}  // namespace

std::optional<int> IioDac::find(const std::string& chipName) {
    DIR* dir = opendir(camlet::rootedPath(kIioDevices).c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::optional<int> found;
    static constexpr char kPrefix[] = "iio:device";
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, kPrefix, sizeof kPrefix - 1) != 0) {
            continue;
        }
        const std::string name = entry->d_name;
        if (readLine(std::string(kIioDevices) + "/" + name + "/name") == chipName) {
            found = std::atoi(name.c_str() + sizeof kPrefix - 1);
            break;
        }
    }
    closedir(dir);
    return found;
}

IioDac::IioDac(int deviceNumber, int channels, int resolutionBits,
               std::array<double, kChannels> gains)
    : m_directory(std::string(kIioDevices) + "/iio:device" + std::to_string(deviceNumber)),
      m_maxCode(std::ldexp(1.0, resolutionBits) - 1.0),
      m_gains(gains) {
    for (int channel = 0; channel < std::min(channels, kChannels); ++channel) {
        const std::string path = channelFile(channel, "_scale");
        const std::optional<std::string> text = readLine(path);
        char* end = nullptr;
        const double scale = text ? std::strtod(text->c_str(), &end) : 0.0;
        if (!text || end == text->c_str() || !(scale > 0.0)) {
            Pictor::ilog(Pictor::LogLevel::Error, "Failed to read the DAC scale from %s",
                         path.c_str());
            continue;
        }
        m_scales[channel] = scale;
        writeText(channelFile(channel, "_powerdown"), "0");
    }
}

std::string IioDac::channelFile(int channel, const char* suffix) const {
    return m_directory + "/out_voltage" + std::to_string(channel) + suffix;
}

bool IioDac::write(int channel, double volts) const {
    if (channel < 0 || channel >= kChannels || !m_scales[channel]) {
        return false;
    }
    const double effectiveScale = *m_scales[channel] * m_gains[channel];
    double code = std::trunc(volts * 1000.0 / effectiveScale);
    // Below zero (or not a number) is no code the DAC has: it gets the lowest.
    code = code > 0.0 ? std::min(code, m_maxCode) : 0.0;
    return writeText(channelFile(channel, "_raw"), std::to_string(uint64_t(code)));
}

}  // namespace thermal
