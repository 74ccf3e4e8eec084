#include "dac80504_model.h"

#include "camlet_root.h"

#include <sys/stat.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace thermalsim {
namespace {

void makeDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0755);
    }
    mkdir(path.c_str(), 0755);
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::trunc);
    if (!(file << text << '\n')) {
        throw std::runtime_error("Cannot create " + path);
    }
}

std::string readText(const std::string& path) {
    std::ifstream file(path);
    std::string text;
    std::getline(file, text);
    return text;
}

}  // namespace

Dac80504Model::Dac80504Model(int deviceNumber)
    : m_directory("/sys/bus/iio/devices/iio:device" + std::to_string(deviceNumber)) {
    makeDirectories(camlet::rootedPath(m_directory));
    writeText(camlet::rootedPath(m_directory + "/name"), "dac80504");
    char scale[32];
    std::snprintf(scale, sizeof scale, "%.9f", kScaleMv);
    for (int channel = 0; channel < kChannels; ++channel) {
        writeText(channelFile(channel, "_raw"), "0");
        writeText(channelFile(channel, "_scale"), scale);
        writeText(channelFile(channel, "_calibscale"), "1");
        writeText(channelFile(channel, "_powerdown"), "1");
    }
}

std::string Dac80504Model::channelFile(int channel, const char* suffix) const {
    if (channel < 0 || channel >= kChannels) {
        throw std::out_of_range("DAC80504 has no channel " + std::to_string(channel));
    }
    return camlet::rootedPath(m_directory + "/out_voltage" + std::to_string(channel) + suffix);
}

std::string Dac80504Model::rawText(int channel) const {
    return readText(channelFile(channel, "_raw"));
}

double Dac80504Model::volts(int channel) const {
    return std::strtod(rawText(channel).c_str(), nullptr) * kScaleMv / 1000.0;
}

bool Dac80504Model::poweredDown(int channel) const {
    return readText(channelFile(channel, "_powerdown")) != "0";
}

}  // namespace thermalsim
