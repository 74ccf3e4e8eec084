#include "pictor/superblock.h"

#include <stdexcept>

namespace Pictor {

namespace {

std::string port_path(const Block& block, const std::string& port) {
    return block.get_name() + "." + port;
}

}  // namespace

void connect_ports(const Block& source, const std::string& source_port, const Block& target,
                   const std::string& target_port) {
    OutPortInternal* output = source.resolve_outport(source_port);
    const std::vector<InPortInternal*> inputs = target.resolve_inport(target_port);
    // Check every input before linking any, so a refusal changes nothing.
    for (const InPortInternal* input : inputs) {
        if (input->get_datatype() != output->get_datatype()) {
            throw ConnectionError("cannot connect " + port_path(source, source_port) + " (" +
                                  output->get_datatype().name() + ") to " +
                                  port_path(target, target_port) + " (" +
                                  input->get_datatype().name() + "): the datatypes differ");
        }
    }
    for (InPortInternal* input : inputs) {
        output->connect(*input);
    }
}

Superblock::Superblock(std::string name, BlockConfiguration configuration)
    : Block(std::move(name), std::move(configuration)) {}

Superblock::~Superblock() {
    for (auto& block : m_blocks) {
        block.reset();
    }
}

Block& Superblock::add_block(std::unique_ptr<Block> block) {
    if (find_block(block->get_name()) != nullptr) {
        throw std::invalid_argument(get_name() + " already holds a block " + block->get_name());
    }
    m_blocks.push_back(std::move(block));
    return *m_blocks.back();
}

Block* Superblock::find_block(const std::string& name) const {
    for (const auto& block : m_blocks) {
        if (block->get_name() == name) {
            return block.get();
        }
    }
    return nullptr;
}

Block& Superblock::get_block(const std::string& name) const {
    Block* block = find_block(name);
    if (block == nullptr) {
        throw ConnectionError(get_name() + " holds no block " + name);
    }
    return *block;
}

void Superblock::add_connection(const std::string& source_block, const std::string& source_port,
                                const std::string& target_block, const std::string& target_port) {
    connect_ports(get_block(source_block), source_port, get_block(target_block), target_port);
}

void Superblock::add_inport(const std::string& outer_name, const std::string& inner_block_name,
                            const std::string& inner_port) {
    Block& block = get_block(inner_block_name);
    const std::vector<InPortInternal*> inputs = block.resolve_inport(inner_port);
    auto it = m_exposed_inputs.find(outer_name);
    if (it != m_exposed_inputs.end()) {
        const InnerPort& first = it->second.front();
        const Datatype& datatype = first.block->resolve_inport(first.port).front()->get_datatype();
        if (inputs.front()->get_datatype() != datatype) {
            throw ConnectionError("cannot expose " + port_path(block, inner_port) + " (" +
                                  inputs.front()->get_datatype().name() + ") as " +
                                  port_path(*this, outer_name) + " (" + datatype.name() +
                                  "): the datatypes differ");
        }
    }
    m_exposed_inputs[outer_name].push_back({&block, inner_port});
}

void Superblock::add_outport(const std::string& outer_name, const std::string& inner_block_name,
                             const std::string& inner_port) {
    Block& block = get_block(inner_block_name);
    block.resolve_outport(inner_port);
    if (!m_exposed_outputs.emplace(outer_name, InnerPort{&block, inner_port}).second) {
        throw ConnectionError("superblock " + get_name() + " already exposes an output " +
                              outer_name);
    }
}

std::vector<InPortInternal*> Superblock::resolve_inport(const std::string& name) const {
    auto it = m_exposed_inputs.find(name);
    if (it == m_exposed_inputs.end()) {
        return Block::resolve_inport(name);
    }
    std::vector<InPortInternal*> inputs;
    for (const InnerPort& inner : it->second) {
        for (InPortInternal* input : inner.block->resolve_inport(inner.port)) {
            inputs.push_back(input);
        }
    }
    return inputs;
}

OutPortInternal* Superblock::resolve_outport(const std::string& name) const {
    auto it = m_exposed_outputs.find(name);
    if (it == m_exposed_outputs.end()) {
        return Block::resolve_outport(name);
    }
    return it->second.block->resolve_outport(it->second.port);
}

void Superblock::collect_blocks(std::vector<Block*>& out) {
    for (const auto& block : m_blocks) {
        block->collect_blocks(out);
    }
    out.push_back(this);
}

}  // namespace Pictor
