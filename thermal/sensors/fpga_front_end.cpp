#include "fpga_front_end.h"

#include "pictor/log.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace thermal {
namespace {

constexpr uint32_t kDefectPixelRegister = 0x200000;
constexpr uint32_t kDefectCorrectionRegister = 0x18000;
constexpr uint32_t kWindowColumnsRegister = 0x2000;
constexpr uint32_t kWindowRowsRegister = 0x2004;
constexpr uint32_t kFrameCounterRegister = 0x10;
constexpr uint32_t kHistogramBoundsRegister = 0x2008;
constexpr uint32_t kHistogramCentreRegister = 0x2018;
// The frame-rate measurement: the counter is polled every 2 ms, three frames
// are timed, and a frame edge that does not come within 500 ms ends it.
constexpr int kFramePollMs = 2;
constexpr int kEdgeWaitMs = 500;
constexpr uint32_t kTimedFrames = 3;
constexpr uint32_t kEepromRegisters = 0x30000;
constexpr int kEepromWords = 1024;

}  // namespace

FpgaFrontEnd::FpgaFrontEnd(std::string devicePath, GainTableLayout layout, int channel)
    : m_spi(std::move(devicePath)), m_layout(layout), m_channel(channel) {}

FpgaFrontEnd::~FpgaFrontEnd() {
    stopUploads();
}

void FpgaFrontEnd::stopUploads() {
    m_cancel = true;
    if (m_uploader.joinable()) {
        try {
            m_uploader.join();
        } catch (const std::system_error&) {
            Pictor::ilog(Pictor::LogLevel::Error, "Failed to join calibration uploader thread.");
        }
    }
}

void FpgaFrontEnd::resetAndCheck() {
    fpga_reset();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_spi.fpga_create();
    fpgaSelfTest(m_spi);
}

void FpgaFrontEnd::waitForMemory() {
    std::lock_guard<std::mutex> lock(m_mutex);
    waitForExternalMemory(m_spi);
}

void FpgaFrontEnd::loadDefectPixels() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_spi.fpga_write_reg_from_file(defectPixelFile(m_channel), kDefectPixelRegister) != 0) {
        Pictor::ilog(Pictor::LogLevel::Error, "Failed to load defect pixel correction data!");
    }
    m_spi.fpga_write_reg(kDefectCorrectionRegister, 1);
}

void FpgaFrontEnd::startGainUpload(std::function<void(bool loaded)> done, const char* failure) {
    if (m_uploader.joinable()) {
        return;
    }
    m_uploading = true;
    m_uploader = std::thread([this, failure, done = std::move(done)] {
        bool loaded = false;
        try {
            loaded = uploadGainTables(m_spi, m_mutex, m_layout, m_channel, m_cancel) ==
                     UploadResult::Done;
        } catch (const std::exception& error) {
            Pictor::ilog(Pictor::LogLevel::Error, "%s", error.what());
        }
        if (!loaded && !m_cancel) {
            Pictor::ilog(Pictor::LogLevel::Error, "%s", failure);
        }
        m_uploading = false;
        done(loaded);
    });
}

void FpgaFrontEnd::applyExposureWindow(const std::string& name, const ExposureBounds& custom,
                                       int width, int height) {
    ExposureBounds window{0, height - 1, 0, width - 1};
    if (name == "center") {
        window = {height / 4, height * 3 / 4 - 1, width / 4, width * 3 / 4 - 1};
    } else if (name == "upper") {
        window.bottom = height / 2 - 1;
    } else if (name == "lower") {
        window.top = height / 2;
    } else if (name == "left") {
        window.right = width / 2 - 1;
    } else if (name == "right") {
        window.left = width / 2;
    } else if (name == "spot") {
        window = {height * 7 / 16, height * 9 / 16 - 1, width * 7 / 16, width * 9 / 16 - 1};
    } else if (name == "custom") {
        if (custom.left < 0 || custom.top < 0 || custom.left > custom.right ||
            custom.top > custom.bottom || custom.right >= width || custom.bottom >= height) {
            Pictor::ilog(Pictor::LogLevel::Warning,
                         "Exposure window boundries are invalid - not applied!");
            return;
        }
        window = custom;
    } else {
        Pictor::ilog(Pictor::LogLevel::Warning, "Undefined exposure window!");
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_spi.fpga_write_reg(kWindowColumnsRegister, uint32_t(window.left) | uint32_t(window.right)
                                                                             << 16);
    m_spi.fpga_write_reg(kWindowRowsRegister, uint32_t(window.top) | uint32_t(window.bottom) << 16);
}

float FpgaFrontEnd::detectMaxFps(float nominal) {
    using Clock = std::chrono::steady_clock;
    const auto frameCount = [this] {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_spi.read(kFrameCounterRegister);
    };
    // The time of the next frame edge after `count`, or none within the wait.
    const auto nextEdge = [&](uint32_t count, uint32_t frames) -> std::optional<Clock::time_point> {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kEdgeWaitMs);
        while (Clock::now() < deadline) {
            if (frameCount() - count >= frames) {
                return Clock::now();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(kFramePollMs));
        }
        return std::nullopt;
    };
    // Timed from one frame edge to another, a few frames on.
    const uint32_t start = frameCount();
    const std::optional<Clock::time_point> first = nextEdge(start, 1);
    const std::optional<Clock::time_point> last =
        first ? nextEdge(start + 1, kTimedFrames) : std::nullopt;
    if (!last) {
        Pictor::ilog(Pictor::LogLevel::Warning,
                     "Failed to detect FPS limitation. Assume no limitation");
        return nominal;
    }
    const double rate = kTimedFrames / std::chrono::duration<double>(*last - *first).count();
    return rate < nominal * 0.9 ? float(std::lround(rate)) : nominal;
}

FpgaHistogram FpgaFrontEnd::readHistogram(int shift) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint32_t bounds = m_spi.read(kHistogramBoundsRegister);
    const auto half = [shift](uint32_t value) { return int32_t((value << shift) & 0xFFFF); };
    return {half(bounds & 0xFFFF), half(bounds >> 16),
            int32_t(m_spi.read(kHistogramCentreRegister) & 0xFFFF)};
}

namespace {

template <typename T>
Pictor::InPort<T> addInport(const ExposureWindowPorts::AddInport& add, const char* name) {
    return Pictor::InPort<T>(
        add(std::make_unique<Pictor::InPortInternal>(name, Pictor::datatype_of<T>())));
}

}  // namespace

ExposureWindowPorts::ExposureWindowPorts(const AddInport& add)
    : m_choice(addInport<Pictor::datatype_string>(add, "QUARP_ExposureWindow")),
      m_top(addInport<Pictor::datatype_int32>(add, "QUARP_CustomExposureWindowTop")),
      m_bottom(addInport<Pictor::datatype_int32>(add, "QUARP_CustomExposureWindowBottom")),
      m_left(addInport<Pictor::datatype_int32>(add, "QUARP_CustomExposureWindowLeft")),
      m_right(addInport<Pictor::datatype_int32>(add, "QUARP_CustomExposureWindowRight")) {}

void ExposureWindowPorts::applyTo(FpgaFrontEnd& fpga, int width, int height) const {
    if (!m_choice.is_triggered()) {
        return;
    }
    const auto bound = [](const Pictor::InPort<Pictor::datatype_int32>& port) {
        return port.has_value() ? port.get().value : -1;
    };
    fpga.applyExposureWindow(m_choice.get().value,
                             {bound(m_top), bound(m_bottom), bound(m_left), bound(m_right)}, width,
                             height);
}

std::optional<std::string> FpgaFrontEnd::readEeprom(const Pictor::ee_read& request) {
    if (request.address < 0 || request.length <= 0 || request.length > kEepromWords ||
        request.address > kEepromWords - request.length) {
        Pictor::ilog(Pictor::LogLevel::Error, "Failed to read from sensor EEPROM.");
        return std::nullopt;
    }
    std::string record;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < request.length; ++i) {
        char word[9];
        std::snprintf(word, sizeof word, "%08x",
                      unsigned(m_spi.read(kEepromRegisters + uint32_t(request.address + i) * 4)));
        record += word;
    }
    return record;
}

}  // namespace thermal
