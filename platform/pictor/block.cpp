#include "pictor/block.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "camlet_root.h"
#include "pipeline_context.h"

namespace Pictor {

namespace {

// Creates the directory and its parents; false (with errno) on failure.
bool make_directories(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (!prefix.empty() && ::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

template <typename Port>
Port* find_port(const std::vector<std::unique_ptr<Port>>& ports, const std::string& name) {
    for (const auto& port : ports) {
        if (port->get_name() == name) {
            return port.get();
        }
    }
    return nullptr;
}

}  // namespace

std::string PStore::get_path() const {
    const std::string path = camlet::rootedPath("/var/lib/pictor/pstore/" + m_block_name);
    if (!make_directories(path)) {
        throw std::runtime_error("cannot create " + path + ": " + std::strerror(errno));
    }
    return path + "/";
}

std::optional<DebugData::Value> DebugData::get(const std::string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_values.find(name);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return it->second;
}

void DebugData::store(const std::string& name, Value value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_values[name] = std::move(value);
}

Block::Block(std::string name, BlockConfiguration configuration)
    : m_name(std::move(name)), m_configuration(std::move(configuration)), m_pstore(m_name) {}

Block::~Block() = default;

InPortInternal* Block::get_inport(const std::string& name) const {
    return find_port(m_inports, name);
}

OutPortInternal* Block::get_outport(const std::string& name) const {
    return find_port(m_outports, name);
}

std::vector<InPortInternal*> Block::resolve_inport(const std::string& name) const {
    if (InPortInternal* port = get_inport(name)) {
        return {port};
    }
    throw ConnectionError("block " + m_name + " has no input port " + name);
}

OutPortInternal* Block::resolve_outport(const std::string& name) const {
    if (OutPortInternal* port = get_outport(name)) {
        return port;
    }
    throw ConnectionError("block " + m_name + " has no output port " + name);
}

void Block::collect_blocks(std::vector<Block*>& out) {
    out.push_back(this);
}

const PipelineContext& Block::context() const {
    const PipelineContext* context = m_context.load();
    if (context == nullptr) {
        throw std::logic_error("block " + m_name + " is not part of a pipeline yet");
    }
    return *context;
}

const InitTools& Block::init_tools() const {
    return context().tools();
}

std::vector<Block*> Block::blocks_in_pipeline() const {
    return context().blocks();
}

InPortInternal* Block::add_inport(std::unique_ptr<InPortInternal> port) {
    if (get_inport(port->get_name()) != nullptr) {
        throw std::invalid_argument("block " + m_name + " already has an input port " +
                                    port->get_name());
    }
    port->m_owner = this;
    m_inports.push_back(std::move(port));
    return m_inports.back().get();
}

OutPortInternal* Block::add_outport(std::unique_ptr<OutPortInternal> port) {
    if (get_outport(port->get_name()) != nullptr) {
        throw std::invalid_argument("block " + m_name + " already has an output port " +
                                    port->get_name());
    }
    m_outports.push_back(std::move(port));
    return m_outports.back().get();
}

EventPort* Block::make_eventport(const std::string& name) {
    auto port = std::make_unique<EventPort>(name);
    EventPort* event_port = port.get();
    add_inport(std::move(port));
    return event_port;
}

}  // namespace Pictor
