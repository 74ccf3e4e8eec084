#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "pictor/block_configuration.h"
#include "pictor/ports.h"

namespace Pictor {

class Dispatcher;
class InitTools;
class PipelineContext;

// A block's persistent storage: a directory that survives restarts.
class PStore {
  public:
    explicit PStore(std::string block_name) : m_block_name(std::move(block_name)) {}
    // The directory (created on first use, with a trailing "/"); throws
    // std::runtime_error when it cannot be created.
    std::string get_path() const;

  private:
    std::string m_block_name;
};

// Named diagnostic values of a block, readable by tools. Thread-safe.
class DebugData {
  public:
    using Value = std::variant<bool, int64_t, double, std::string>;

    template <typename T>
    void set(const std::string& name, const T& value) {
        if constexpr (std::is_same_v<T, bool>) {
            store(name, Value(value));
        } else if constexpr (std::is_integral_v<T>) {
            store(name, Value(static_cast<int64_t>(value)));
        } else if constexpr (std::is_floating_point_v<T>) {
            store(name, Value(static_cast<double>(value)));
        } else {
            store(name, Value(std::string(value)));
        }
    }
    std::optional<Value> get(const std::string& name) const;

  private:
    void store(const std::string& name, Value value);

    mutable std::mutex m_mutex;
    std::map<std::string, Value> m_values;  // Under m_mutex.
};

// A leaf of the pipeline. The framework calls, in this order: setup() once the
// whole pipeline is built and connected, start(), then process() whenever a
// triggering input (or an event port) has news, and stop(). reconfigure()
// comes between runs. All of them run on the pipeline's thread; an exception
// thrown by one is logged with the block's name and the pipeline goes on.
class Block {
  public:
    Block(std::string name, BlockConfiguration configuration);
    virtual ~Block();
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;

    virtual void setup() {}
    virtual void reconfigure(const BlockConfiguration& old_configuration,
                             const BlockConfiguration& new_configuration) {
        (void)old_configuration;
        (void)new_configuration;
    }
    virtual void start() {}
    virtual void stop() {}
    // One run: act on the inputs whose is_triggered() is set.
    virtual void process() {}

    const std::string& get_name() const { return m_name; }
    const BlockConfiguration& get_configuration() const { return m_configuration; }

    // The block's own ports, null when it has none of that name.
    InPortInternal* get_inport(const std::string& name) const;
    OutPortInternal* get_outport(const std::string& name) const;

    // What a connection to the named port reaches: the block's own port, or
    // for a superblock the inner ports it exposes under that name. Throws
    // ConnectionError when there is none.
    virtual std::vector<InPortInternal*> resolve_inport(const std::string& name) const;
    virtual OutPortInternal* resolve_outport(const std::string& name) const;
    // The block and every block inside it, depth first.
    virtual void collect_blocks(std::vector<Block*>& out);

    PStore& pstore() { return m_pstore; }
    DebugData& debug_data() { return m_debug_data; }

    // What the pipeline offers its blocks; from setup() on. Throws
    // std::logic_error before the block is part of a pipeline.
    const InitTools& init_tools() const;
    // Every block of the pipeline, superblocks and inner blocks alike, from
    // setup() on (a consumer finds its producer this way).
    std::vector<Block*> blocks_in_pipeline() const;

  protected:
    // Throw std::invalid_argument when the block already has a port of that name.
    InPortInternal* add_inport(std::unique_ptr<InPortInternal> port);
    OutPortInternal* add_outport(std::unique_ptr<OutPortInternal> port);
    template <typename T>
    InPort<T> add_inport(const std::string& name,
                         InPortInternal::Flag flag = InPortInternal::TRIGGERING) {
        return InPort<T>(
            add_inport(std::make_unique<InPortInternal>(name, datatype_of<T>(), flag)));
    }
    template <typename T>
    OutPort<T> add_outport(const std::string& name) {
        return OutPort<T>(add_outport(std::make_unique<OutPortInternal>(name, datatype_of<T>())));
    }
    // An input without data whose fire() wakes this block from any thread.
    EventPort* make_eventport(const std::string& name = "event_port");

  private:
    friend class Pipeline;
    friend class PipelineContext;
    const PipelineContext& context() const;

    friend class Dispatcher;
    friend class InPortInternal;

    std::string m_name;
    BlockConfiguration m_configuration;
    std::vector<std::unique_ptr<InPortInternal>> m_inports;
    std::vector<std::unique_ptr<OutPortInternal>> m_outports;
    PStore m_pstore;
    DebugData m_debug_data;
    // Set when the block joins a pipeline; under the dispatcher's lock after that.
    std::atomic<PipelineContext*> m_context{nullptr};
    bool m_queued = false;
};

}  // namespace Pictor
