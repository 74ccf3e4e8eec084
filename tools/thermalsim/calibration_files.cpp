#include "calibration_files.h"

#include "camlet_root.h"

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace thermalsim {
namespace {

constexpr const char* kDirectory = "/usr/lib/persistent/usr/share/sensor_analysis/";
constexpr const char* kZoomNames[] = {"1.0", "2.0", "2.2", "2.4", "2.5",
                                      "2.6", "2.7", "2.8", "2.9", "3.0"};

void makeDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0755);
    }
}

void appendWord(std::vector<uint8_t>& bytes, uint32_t word) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(uint8_t(word >> (8 * i)));
    }
}

}  // namespace

void writeCalibrationFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = camlet::rootedPath(std::string(kDirectory) + name);
    makeDirectories(path);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<uint8_t> CalibrationSet::gainTable(int level) const {
    std::vector<uint8_t> bytes;
    bytes.reserve(size_t(width) * size_t(height) * 2);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint16_t gain = uint16_t(0x4000 + level * 16 + ((x * 7 + y * 13) % 97) - 48);
            bytes.push_back(uint8_t(gain));
            bytes.push_back(uint8_t(gain >> 8));
        }
    }
    return bytes;
}

void CalibrationSet::write() const {
    const std::string suffix = std::to_string(channel);
    if (bias) {
        std::vector<uint8_t> bytes;
        for (float volts : {bias->first, bias->second}) {
            uint32_t bits;
            std::memcpy(&bits, &volts, sizeof bits);
            appendWord(bytes, bits);
        }
        writeCalibrationFile("bias_channel_" + suffix + ".dat", bytes);
    }
    if (gainTables) {
        for (int level = 0; level < 10; ++level) {
            writeCalibrationFile("gc_channel_" + suffix + "_" + kZoomNames[level] + ".dat",
                                 gainTable(level));
        }
    }
    std::vector<uint8_t> defects;
    for (uint32_t word : defectPixels) {
        appendWord(defects, word);
    }
    writeCalibrationFile("dpc_channel_" + suffix + ".dat", defects);
}

}  // namespace thermalsim
