#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "pictor/pipeline.h"
#include "steady_time.h"

namespace thermal::testing {

// One block under test in a manually dispatched pipeline: values pushed into
// its inputs are processed at once, and what its outputs send is collected.
template <typename B>
class BlockHarness {
  public:
    explicit BlockHarness(const Pictor::BlockConfiguration& configuration)
        : block(pipeline.add_block<B>("block", configuration)) {}

    // Taps must be made before start().
    template <typename T>
    std::shared_ptr<Pictor::Tap<T>> tap(const std::string& port) {
        return pipeline.tap<T>("block", port);
    }
    void start() { pipeline.start(Pictor::Pipeline::Dispatch::Manual); }

    template <typename T>
    void push(const std::string& port, T value) {
        pipeline.push("block", port, std::move(value));
        pipeline.run_until_idle();
    }

    Pictor::Pipeline pipeline;
    B& block;
};

// A steady clock that moves only when told.
class ManualClock {
  public:
    SteadyClock source() {
        return [this] { return m_now; };
    }
    void advance(std::chrono::milliseconds step) { m_now += step; }

  private:
    std::chrono::steady_clock::time_point m_now{std::chrono::hours(1)};
};

template <typename T>
std::vector<int32_t> values_of(const Pictor::Tap<T>& tap) {
    std::vector<int32_t> values;
    for (const T& value : tap.values()) {
        values.push_back(value.value);
    }
    return values;
}

}  // namespace thermal::testing
