#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "pictor/block.h"
#include "pictor/init_tools.h"

namespace Pictor {

// The queue of blocks that have news, and the runs that empty it. deliver()
// and post() may be called from any thread; run_next() from one thread at a
// time (the pipeline's own, or the caller of run_until_idle()).
class Dispatcher {
  public:
    // Hands a value to an input port and queues its block if the port
    // triggers and the block is not queued yet.
    void deliver(InPortInternal& port, const PortValue& value);
    // Queues the block if any of its inputs received data before it joined.
    void adopt(Block& block);
    // Queues a task; tasks run before queued blocks.
    void post(std::function<void()> task);

    // Runs one task or one block; false when nothing was queued.
    bool run_next();
    // Runs until stop_waiting() is called.
    void run_until_stopped();
    void stop_waiting();
    // Waits until nothing is queued or running; false on time-out.
    bool wait_until_idle(std::chrono::milliseconds timeout);

  private:
    void enqueue(Block& block);
    // Shows the block the data that arrived for it (under m_mutex).
    static void take_inputs(Block& block);
    static void run(Block& block);

    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_idle;
    // Under m_mutex, together with each block's m_queued and each input's
    // pending value.
    std::deque<Block*> m_blocks;
    std::deque<std::function<void()>> m_tasks;
    bool m_running = false;
    bool m_stopping = false;
};

// What blocks of one pipeline share.
class PipelineContext {
  public:
    explicit PipelineContext(InitTools tools) : m_tools(std::move(tools)) {}

    // Makes a block and the blocks inside it members of this pipeline, so
    // that what they receive from then on is queued.
    void adopt(Block& block);
    // Fixes the members, once the pipeline is complete.
    void set_blocks(std::vector<Block*> blocks) { m_blocks = std::move(blocks); }

    const InitTools& tools() const { return m_tools; }
    Dispatcher& dispatcher() { return m_dispatcher; }
    const std::vector<Block*>& blocks() const { return m_blocks; }

  private:
    InitTools m_tools;
    Dispatcher m_dispatcher;
    std::vector<Block*> m_blocks;
};

}  // namespace Pictor
