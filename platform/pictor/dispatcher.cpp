#include <exception>

#include "pictor/log.h"
#include "pipeline_context.h"

namespace Pictor {

void Dispatcher::deliver(InPortInternal& port, const PortValue& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    port.m_pending = value;
    port.m_has_pending = true;
    if (port.m_flag == InPortInternal::TRIGGERING) {
        enqueue(*port.m_owner);
    }
}

void Dispatcher::adopt(Block& block) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& port : block.m_inports) {
        if (port->m_has_pending && port->m_flag == InPortInternal::TRIGGERING) {
            enqueue(block);
        }
    }
}

void Dispatcher::enqueue(Block& block) {
    if (!block.m_queued) {
        block.m_queued = true;
        m_blocks.push_back(&block);
        m_work.notify_one();
    }
}

void Dispatcher::post(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tasks.push_back(std::move(task));
    m_work.notify_one();
}

void Dispatcher::take_inputs(Block& block) {
    block.m_queued = false;
    for (const auto& port : block.m_inports) {
        if (port->m_has_pending) {
            port->m_value = std::move(port->m_pending);
            port->m_pending = nullptr;
            port->m_has_pending = false;
            port->set_triggered();
        }
    }
}

void Dispatcher::run(Block& block) {
    try {
        block.process();
    } catch (const std::exception& error) {
        ilog(LogLevel::Error, "%s: %s", block.get_name().c_str(), error.what());
    } catch (...) {
        ilog(LogLevel::Error, "%s: unknown exception", block.get_name().c_str());
    }
    for (const auto& port : block.m_inports) {
        port->reset();
    }
}

bool Dispatcher::run_next() {
    std::function<void()> task;
    Block* block = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_tasks.empty()) {
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        } else if (!m_blocks.empty()) {
            block = m_blocks.front();
            m_blocks.pop_front();
            take_inputs(*block);
        } else {
            return false;
        }
        m_running = true;
    }
    if (task) {
        task();
    } else {
        run(*block);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_running = false;
    if (m_blocks.empty() && m_tasks.empty()) {
        m_idle.notify_all();
    }
    return true;
}

void Dispatcher::run_until_stopped() {
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_work.wait(lock,
                        [this] { return m_stopping || !m_blocks.empty() || !m_tasks.empty(); });
            if (m_stopping) {
                m_stopping = false;
                return;
            }
        }
        run_next();
    }
}

void Dispatcher::stop_waiting() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
    m_work.notify_all();
}

bool Dispatcher::wait_until_idle(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_idle.wait_for(lock, timeout,
                           [this] { return !m_running && m_blocks.empty() && m_tasks.empty(); });
}

void PipelineContext::adopt(Block& block) {
    std::vector<Block*> members;
    block.collect_blocks(members);
    for (Block* member : members) {
        member->m_context = this;
        m_dispatcher.adopt(*member);
    }
}

}  // namespace Pictor
