#include "fpga_spi.h"

#include "camlet_root.h"
#include "pictor/log.h"
#include "ugpio.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace thermal {
namespace {

constexpr uint8_t kReadBit = 0x01;
constexpr uint8_t kWideAddressBit = 0x02;
constexpr uint32_t kWordBytes = 4;
constexpr uint32_t kChunkBytes = 60;

// Command byte, address and (for writes) data of one register message.
std::vector<uint8_t> registerMessage(uint32_t address, uint32_t value, bool read) {
    const bool wide = address >= 0x10000;
    std::vector<uint8_t> message;
    message.push_back(
        uint8_t((kWordBytes << 2) | (wide ? kWideAddressBit : 0) | (read ? kReadBit : 0)));
    for (int i = 0; i < (wide ? 4 : 2); ++i) {
        message.push_back(uint8_t(address >> (8 * i)));
    }
    for (uint32_t i = 0; i < kWordBytes; ++i) {
        message.push_back(read ? 0 : uint8_t(value >> (8 * i)));
    }
    return message;
}

bool openCalibrationFile(std::ifstream& file, const std::string& cameraPath) {
    file.open(camlet::rootedPath(cameraPath), std::ios::binary);
    if (!file) {
        Pictor::ilog(Pictor::LogLevel::Warning, "File %s is missing!", cameraPath.c_str());
        return false;
    }
    return true;
}

}  // namespace

FpgaSpi::FpgaSpi(std::string devicePath) : m_link(std::move(devicePath), 0) {}

void FpgaSpi::fpga_create() {
    m_link.openOrThrow();
}

void FpgaSpi::fpga_close() {
    m_link.close();
}

void FpgaSpi::ensureOpen() {
    m_link.openOrThrow();
}

void FpgaSpi::fpga_write_reg(uint32_t address, uint32_t value) {
    ensureOpen();
    const std::vector<uint8_t> message = registerMessage(address, value, false);
    m_link.transfer(message.data(), nullptr, uint32_t(message.size()));
}

void FpgaSpi::fpga_read_msg(RegisterSetting& setting) {
    ensureOpen();
    const std::vector<uint8_t> message = registerMessage(setting.address, 0, true);
    std::vector<uint8_t> received(message.size(), 0);
    m_link.transfer(message.data(), received.data(), uint32_t(message.size()));
    const size_t data = message.size() - kWordBytes;
    uint32_t value = 0;
    for (uint32_t i = 0; i < kWordBytes; ++i) {
        value |= uint32_t(received[data + i]) << (8 * i);
    }
    setting.value |= value;
}

uint32_t FpgaSpi::read(uint32_t address) {
    RegisterSetting setting{address, 0};
    fpga_read_msg(setting);
    return setting.value;
}

int FpgaSpi::fpga_write_mem_from_file(const std::string& cameraPath, uint32_t address) {
    std::ifstream file;
    if (!openCalibrationFile(file, cameraPath)) {
        return -1;
    }
    ensureOpen();
    // One transfer per chunk: up to 15 sub-messages of command, 32-bit
    // address and 1-4 data bytes. The buffers live until the transfer is done.
    std::vector<uint8_t> chunk(kChunkBytes);
    std::vector<uint8_t> wire;
    std::vector<spi_ioc_transfer> messages;
    while (file.read(reinterpret_cast<char*>(chunk.data()), kChunkBytes) || file.gcount() > 0) {
        const uint32_t length = uint32_t(file.gcount());
        wire.assign((length / kWordBytes + 1) * (5 + kWordBytes), 0);
        messages.clear();
        size_t offset = 0;
        for (uint32_t done = 0; done < length;) {
            const uint32_t n = std::min(kWordBytes, length - done);
            uint8_t* sub = wire.data() + offset;
            sub[0] = uint8_t((n << 2) | kWideAddressBit);
            for (int i = 0; i < 4; ++i) {
                sub[1 + i] = uint8_t(address >> (8 * i));
            }
            std::copy(chunk.begin() + done, chunk.begin() + done + n, sub + 5);
            spi_ioc_transfer message{};
            message.tx_buf = uintptr_t(sub);
            message.len = 5 + n;
            messages.push_back(message);
            offset += 5 + n;
            address += n;
            done += n;
        }
        m_link.transfer(messages);
    }
    return 0;
}

int FpgaSpi::fpga_write_reg_from_file(const std::string& cameraPath, uint32_t address) {
    std::ifstream file;
    if (!openCalibrationFile(file, cameraPath)) {
        return -1;
    }
    uint8_t word[kWordBytes];
    while (file.read(reinterpret_cast<char*>(word), kWordBytes)) {
        fpga_write_reg(address, uint32_t(word[0]) | uint32_t(word[1]) << 8 |
                                    uint32_t(word[2]) << 16 | uint32_t(word[3]) << 24);
        // Register addresses count bytes: the next 32-bit register is 4 on.
        address += kWordBytes;
    }
    if (file.gcount() > 0) {
        Pictor::ilog(Pictor::LogLevel::Warning, "File %s ends in a partial word; %d bytes dropped",
                     cameraPath.c_str(), int(file.gcount()));
    }
    return 0;
}

void fpga_reset() {
    ugpio_line* line = ugpio_line_get_by_name("fpga_reset");
    if (line == nullptr) {
        Pictor::ilog(Pictor::LogLevel::Error, "FPGA reset line fpga_reset is not available");
        return;
    }
    ugpio_line_set_value(line, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ugpio_line_set_value(line, 0);
    ugpio_line_release(line);
}

void fpgaSelfTest(FpgaSpi& fpga) {
    const uint32_t first = fpga.read(0);
    fpga.fpga_write_reg(0, first ^ 1u);
    const uint32_t inverted = fpga.read(0);
    fpga.fpga_write_reg(0, first);
    if (((first ^ inverted) & 1u) == 0) {
        throw std::runtime_error("Could not read or write to FPGA register");
    }
}

void waitForExternalMemory(FpgaSpi& fpga, int timeoutMs) {
    constexpr int kPollMs = 15;
    for (int waited = 0;; waited += kPollMs) {
        const uint32_t status = fpga.read(8);
        if (status & 1u) {
            if ((status & 2u) == 0) {
                break;
            }
            return;
        }
        if (waited >= timeoutMs) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    throw std::runtime_error("FPGA external memory initialization failed");
}

}  // namespace thermal
