#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "pictor/block.h"
#include "pictor/init_tools.h"
#include "pictor/registry.h"
#include "pictor/superblock.h"

namespace Pictor {

class DispatchThread;
class PipelineContext;

// Collects what an output port sends, for tests and tools. Thread-safe.
template <typename T>
class Tap : public PortSink {
  public:
    void deliver(const PortValue& value) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_values.push_back(*static_cast<const T*>(value.get()));
    }
    std::vector<T> values() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_values;
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<T> m_values;  // Under m_mutex.
};

// Blocks, their connections and the thread that runs them. A block is queued
// when a triggering input receives data or an event port fires, at most once
// at a time, and blocks run in the order they were queued, one at a time.
// Before a run the block sees every input that arrived until then; after it
// its inputs are reset.
class Pipeline {
  public:
    enum class Dispatch {
        // A thread of the pipeline's own runs the blocks.
        OwnThread,
        // Nothing runs until run_until_idle() is called (deterministic tests).
        Manual,
    };

    explicit Pipeline(InitTools tools = InitTools());
    // Stops the pipeline if it runs.
    ~Pipeline();
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

    // A pipeline from a JSON description:
    //   {"blocks": [{"name": N, "type": T, "config": {...}}, ...],
    //    "connections": [{"from": "block.port", "to": "block.port"}, ...]}
    // Throws ConfigurationError for a malformed description, and what block
    // creation or connection throws.
    static std::unique_ptr<Pipeline> from_json(const std::string& description,
                                               const Registry& registry,
                                               InitTools tools = InitTools());

    // Before start() only. Throws std::invalid_argument for a duplicate name.
    Block& add_block(std::unique_ptr<Block> block);
    template <typename T, typename... Args>
    T& add_block(Args&&... args) {
        return static_cast<T&>(add_block(std::make_unique<T>(std::forward<Args>(args)...)));
    }
    // Before start() only. Throws ConnectionError.
    void connect(const std::string& source_block, const std::string& source_port,
                 const std::string& target_block, const std::string& target_port);

    // A top-level block of that name, or null.
    Block* find_block(const std::string& name) const;

    // Calls setup() and then start() of every block (inner blocks before their
    // superblock, in the order they were added) and begins dispatching.
    void start(Dispatch dispatch = Dispatch::OwnThread);
    // Ends dispatching (a running block finishes its run first) and calls
    // stop() of every block in reverse order. Idempotent.
    void stop();

    // Manual dispatch, once started: runs queued blocks on the calling thread
    // until none is queued; returns the number of runs.
    std::size_t run_until_idle();
    // Own thread: waits until no block is queued or running; false on time-out.
    bool wait_until_idle(std::chrono::milliseconds timeout);

    // Replaces a block's configuration between runs and calls its
    // reconfigure(old, new). Throws std::invalid_argument for an unknown block.
    void reconfigure(const std::string& block, BlockConfiguration configuration);

    // Delivers a value to an input from outside, from any thread.
    template <typename T>
    void push(const std::string& block, const std::string& port, T value) {
        PortValue shared = std::make_shared<const T>(std::move(value));
        for (InPortInternal* input : typed_inputs(block, port, DatatypeOf<T>::name)) {
            input->deliver(shared);
        }
    }
    // Collects what an output sends from now on. Before start() only.
    template <typename T>
    std::shared_ptr<Tap<T>> tap(const std::string& block, const std::string& port) {
        auto tap = std::make_shared<Tap<T>>();
        typed_output(block, port, DatatypeOf<T>::name).connect(*tap);
        m_taps.push_back(tap);
        return tap;
    }

  private:
    std::vector<InPortInternal*> typed_inputs(const std::string& block, const std::string& port,
                                              const char* datatype) const;
    OutPortInternal& typed_output(const std::string& block, const std::string& port,
                                  const char* datatype) const;

    // Blocks go first: their own threads may still deliver to the dispatcher
    // and to taps while they are destroyed.
    std::unique_ptr<PipelineContext> m_context;
    std::unique_ptr<DispatchThread> m_thread;  // Set while an own-thread pipeline runs.
    std::vector<std::shared_ptr<PortSink>> m_taps;
    // Holds the top-level blocks.
    Superblock m_root{"pipeline", {}};
    bool m_started = false;
};

}  // namespace Pictor
