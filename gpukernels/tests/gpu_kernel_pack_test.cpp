#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "kernel_container_walker.h"
#include "kernel_pack_library.h"

namespace gpukernels::test {
namespace {

constexpr uint32_t kTypeCount = 92;
constexpr int32_t kHeaderLength = 16;
const char kErrorLine[] = "ERROR: Invalid ovxgpu_vxc kernel binary type!\n";

// The expanded kernel table the build generated: kernel names per type, in order.
std::map<uint32_t, std::vector<std::string>> readKernelNames() {
    std::map<uint32_t, std::vector<std::string>> names;
    std::ifstream file(GPUKERNELS_NAMES_FILE);
    uint32_t type = 0;
    std::string name;
    while (file >> type >> name) {
        names[type].push_back(name);
    }
    return names;
}

// Runs `action` with standard output going into a pipe and returns what it wrote.
std::string captureStdout(const std::function<void()>& action) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    std::fflush(stdout);
    int savedStdout = dup(STDOUT_FILENO);
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[1]);
    action();
    std::fflush(stdout);
    dup2(savedStdout, STDOUT_FILENO);
    close(savedStdout);

    std::string output;
    char buffer[256];
    ssize_t count;
    while ((count = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(count));
    }
    close(pipeFds[0]);
    return output;
}

class GpuKernelPackTest : public ::testing::Test {
  protected:
    struct Lookup {
        const uint8_t* data;
        int32_t length;
    };

    Lookup lookup(uint32_t type) const {
        Lookup result{nullptr, -1};
        result.data = library_.entryPoint()(type, &result.length);
        return result;
    }

    KernelContainer walk(uint32_t type) const {
        Lookup found = lookup(type);
        if (found.data == nullptr || found.length < kHeaderLength) {
            throw std::runtime_error("no container for type " + std::to_string(type));
        }
        return walkContainer(found.data, static_cast<std::size_t>(found.length));
    }

    static std::vector<std::string> namesOf(const KernelContainer& container) {
        std::vector<std::string> names;
        for (const KernelEntry& kernel : container.kernels) {
            names.push_back(kernel.name);
        }
        return names;
    }

    KernelPackLibrary library_{GPUKERNELPACK_LIBRARY};
};

TEST_F(GpuKernelPackTest, EveryContainerHoldsTheTableKernelsInTheContainerFormat) {
    const auto table = readKernelNames();
    ASSERT_EQ(table.size(), kTypeCount);
    std::size_t kernelTotal = 0;
    for (uint32_t type = 0; type < kTypeCount; ++type) {
        SCOPED_TRACE("type " + std::to_string(type));
        Lookup found = lookup(type);
        ASSERT_NE(found.data, nullptr);
        KernelContainer container;
        ASSERT_NO_THROW(container = walk(type));  // the walk consumes exactly the length
        EXPECT_EQ(container.magic, "FULLPRGM");
        EXPECT_EQ(static_cast<int64_t>(container.payloadLength),
                  static_cast<int64_t>(found.length) - kHeaderLength);
        EXPECT_EQ(namesOf(container), table.at(type));
        kernelTotal += container.kernels.size();
        for (const KernelEntry& kernel : container.kernels) {
            SCOPED_TRACE(kernel.name);
            ASSERT_EQ(kernel.images.size(), 2u);
            for (uint32_t i = 0; i < 2; ++i) {
                EXPECT_EQ(kernel.images[i].index, i);
                EXPECT_EQ(kernel.images[i].bytes.substr(0, 4), "PRGM");
            }
            EXPECT_GE(kernel.images[1].bytes.size(), kernel.images[0].bytes.size());
        }
    }
    EXPECT_EQ(kernelTotal, 433u);
}

TEST_F(GpuKernelPackTest, FixedTypesHoldTheirKernels) {
    EXPECT_EQ(namesOf(walk(0)), std::vector<std::string>{"LKTracker"});
    EXPECT_EQ(namesOf(walk(91)), std::vector<std::string>{"xor_U8_U8toU8"});
    for (uint32_t copyType : {15u, 20u, 51u, 73u, 74u, 81u}) {
        EXPECT_EQ(namesOf(walk(copyType)), std::vector<std::string>{"copy"}) << copyType;
    }
    std::vector<std::string> multiply = namesOf(walk(59));
    ASSERT_EQ(multiply.size(), 128u);
    EXPECT_EQ(multiply.front(), "multiply_U8TimesU8toU8_Sat_RTE");
    EXPECT_EQ(multiply.back(), "multiply_I16TimesI16toI16_Wrap_RTZ_integer_postshift");
}

TEST_F(GpuKernelPackTest, ContainersLieEndToEndFromTheHighestType) {
    for (uint32_t type = 0; type + 1 < kTypeCount; ++type) {
        Lookup current = lookup(type);
        Lookup previous = lookup(type + 1);
        ASSERT_NE(previous.data, nullptr);
        EXPECT_EQ(current.data, previous.data + previous.length) << "type " << type;
    }
}

TEST_F(GpuKernelPackTest, UnknownTypesPrintOneErrorLineAndReturnNothing) {
    for (uint32_t type : {92u, 0xFFFFFFFFu}) {
        SCOPED_TRACE("type " + std::to_string(type));
        Lookup found{reinterpret_cast<const uint8_t*>(&found), 12345};
        std::string output = captureStdout([&] { found = lookup(type); });
        EXPECT_EQ(found.data, nullptr);
        EXPECT_EQ(found.length, 0);
        EXPECT_EQ(output, kErrorLine);
    }
}

TEST_F(GpuKernelPackTest, NullLengthPointerIsTolerated) {
    EXPECT_EQ(library_.entryPoint()(91, nullptr), lookup(91).data);
    const uint8_t* data = reinterpret_cast<const uint8_t*>(&data);
    std::string output = captureStdout([&] { data = library_.entryPoint()(92, nullptr); });
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(output, kErrorLine);
}

}  // namespace
}  // namespace gpukernels::test
