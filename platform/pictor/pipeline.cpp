#include "pictor/pipeline.h"

#include <future>
#include <stdexcept>
#include <thread>

#include "json_ptr.h"
#include "pictor/log.h"
#include "pipeline_context.h"

namespace Pictor {

// The thread that dispatches an own-thread pipeline.
class DispatchThread {
  public:
    explicit DispatchThread(Dispatcher& dispatcher)
        : m_dispatcher(dispatcher), m_thread([this] { m_dispatcher.run_until_stopped(); }) {}
    ~DispatchThread() {
        m_dispatcher.stop_waiting();
        m_thread.join();
    }

  private:
    Dispatcher& m_dispatcher;
    std::thread m_thread;
};

namespace {

// Calls one lifecycle step of a block; a throw is logged with the block's name.
template <typename Step>
void call_logged(Block& block, const char* what, Step step) {
    try {
        step();
    } catch (const std::exception& error) {
        ilog(LogLevel::Error, "%s: %s failed: %s", block.get_name().c_str(), what, error.what());
    } catch (...) {
        ilog(LogLevel::Error, "%s: %s failed", block.get_name().c_str(), what);
    }
}

std::string string_member(json_t* object, const char* key, const std::string& where) {
    json_t* value = json_object_get(object, key);
    if (!json_is_string(value)) {
        throw ConfigurationError("pipeline description: " + where + " needs a string \"" + key +
                                 "\"");
    }
    return json_string_value(value);
}

// "block.port" split at its first dot.
std::pair<std::string, std::string> port_address(const std::string& text) {
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == text.size()) {
        throw ConfigurationError("pipeline description: '" + text + "' is not block.port");
    }
    return {text.substr(0, dot), text.substr(dot + 1)};
}

}  // namespace

Pipeline::Pipeline(InitTools tools)
    : m_context(std::make_unique<PipelineContext>(std::move(tools))) {}

Pipeline::~Pipeline() {
    stop();
}

std::unique_ptr<Pipeline> Pipeline::from_json(const std::string& description,
                                              const Registry& registry, InitTools tools) {
    json_error_t error;
    JsonPtr root(json_loadb(description.data(), description.size(), 0, &error));
    if (!json_is_object(root.get())) {
        throw ConfigurationError(root ? std::string("pipeline description: not an object")
                                      : "pipeline description, line " + std::to_string(error.line) +
                                            ": " + error.text);
    }
    auto pipeline = std::make_unique<Pipeline>(tools);
    std::size_t index;
    json_t* entry;
    json_array_foreach(json_object_get(root.get(), "blocks"), index, entry) {
        const std::string where = "block " + std::to_string(index);
        const std::string name = string_member(entry, "name", where);
        json_t* config = json_object_get(entry, "config");
        const BlockConfiguration configuration =
            config != nullptr ? configuration_from_json(config) : BlockConfiguration();
        pipeline->add_block(
            registry.create(string_member(entry, "type", where), name, configuration, tools));
    }
    json_array_foreach(json_object_get(root.get(), "connections"), index, entry) {
        const std::string where = "connection " + std::to_string(index);
        const auto [source_block, source_port] = port_address(string_member(entry, "from", where));
        const auto [target_block, target_port] = port_address(string_member(entry, "to", where));
        pipeline->connect(source_block, source_port, target_block, target_port);
    }
    return pipeline;
}

Block& Pipeline::add_block(std::unique_ptr<Block> block) {
    if (m_started) {
        throw std::logic_error("blocks are added before the pipeline starts");
    }
    Block& added = m_root.add_block(std::move(block));
    m_context->adopt(added);
    return added;
}

Block* Pipeline::find_block(const std::string& name) const {
    return m_root.find_block(name);
}

void Pipeline::connect(const std::string& source_block, const std::string& source_port,
                       const std::string& target_block, const std::string& target_port) {
    if (m_started) {
        throw std::logic_error("connections are made before the pipeline starts");
    }
    m_root.add_connection(source_block, source_port, target_block, target_port);
}

void Pipeline::start(Dispatch dispatch) {
    if (m_started) {
        throw std::logic_error("the pipeline runs already");
    }
    m_started = true;
    std::vector<Block*> blocks;
    for (const auto& block : m_root.blocks()) {
        block->collect_blocks(blocks);
    }
    m_context->set_blocks(blocks);
    for (Block* block : blocks) {
        call_logged(*block, "setup", [block] { block->setup(); });
    }
    for (Block* block : blocks) {
        call_logged(*block, "start", [block] { block->start(); });
    }
    if (dispatch == Dispatch::OwnThread) {
        m_thread = std::make_unique<DispatchThread>(m_context->dispatcher());
    }
}

void Pipeline::stop() {
    if (!m_started) {
        return;
    }
    m_thread.reset();
    const std::vector<Block*>& blocks = m_context->blocks();
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) {
        Block* block = *it;
        call_logged(*block, "stop", [block] { block->stop(); });
    }
    m_started = false;
}

std::size_t Pipeline::run_until_idle() {
    if (!m_started || m_thread) {
        throw std::logic_error("run_until_idle() is for started pipelines dispatched by hand");
    }
    std::size_t runs = 0;
    while (m_context->dispatcher().run_next()) {
        ++runs;
    }
    return runs;
}

bool Pipeline::wait_until_idle(std::chrono::milliseconds timeout) {
    return m_context->dispatcher().wait_until_idle(timeout);
}

void Pipeline::reconfigure(const std::string& name, BlockConfiguration configuration) {
    Block* block = nullptr;
    for (Block* candidate : m_context->blocks()) {
        if (candidate->get_name() == name) {
            block = candidate;
        }
    }
    if (block == nullptr) {
        throw std::invalid_argument("the pipeline holds no block " + name);
    }
    auto apply = [block, configuration = std::move(configuration)]() mutable {
        BlockConfiguration old = std::exchange(block->m_configuration, std::move(configuration));
        call_logged(*block, "reconfigure",
                    [&] { block->reconfigure(old, block->get_configuration()); });
    };
    if (!m_thread) {
        apply();
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    m_context->dispatcher().post([apply = std::move(apply), done]() mutable {
        apply();
        done->set_value();
    });
    finished.wait();
}

std::vector<InPortInternal*> Pipeline::typed_inputs(const std::string& block,
                                                    const std::string& port,
                                                    const char* datatype) const {
    std::vector<InPortInternal*> inputs = m_root.get_block(block).resolve_inport(port);
    for (const InPortInternal* input : inputs) {
        detail::check_datatype(*input, datatype);
    }
    return inputs;
}

OutPortInternal& Pipeline::typed_output(const std::string& block, const std::string& port,
                                        const char* datatype) const {
    OutPortInternal* output = m_root.get_block(block).resolve_outport(port);
    detail::check_datatype(*output, datatype);
    return *output;
}

}  // namespace Pictor
