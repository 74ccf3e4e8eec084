#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

#include "kernel_pack_library.h"

namespace gpukernels::test {
namespace {

constexpr uint32_t kTypeCount = 92;

using Answer = std::pair<const uint8_t*, int32_t>;

std::vector<Answer> answersOf(GetOvxGPUKernelBinaryPtrFn entryPoint) {
    std::vector<Answer> answers;
    for (uint32_t type = 0; type < kTypeCount; ++type) {
        int32_t length = -1;
        const uint8_t* data = entryPoint(type, &length);
        answers.emplace_back(data, length);
    }
    return answers;
}

TEST(GpuKernelPackThreadsTest, ConcurrentCallersGetTheSameContainers) {
    KernelPackLibrary library(GPUKERNELPACK_LIBRARY);
    const std::vector<Answer> expected = answersOf(library.entryPoint());
    ASSERT_NE(expected.front().first, nullptr);

    constexpr int kThreads = 8;
    constexpr int kRounds = 200;
    std::atomic<bool> start{false};
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            while (!start.load()) {
                std::this_thread::yield();
            }
            for (int round = 0; round < kRounds; ++round) {
                if (answersOf(library.entryPoint()) != expected) {
                    ++mismatches;
                }
            }
        });
    }
    start = true;
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace gpukernels::test
