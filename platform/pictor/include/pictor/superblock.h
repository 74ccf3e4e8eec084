#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pictor/block.h"

namespace Pictor {

// A block made of blocks. It owns its inner blocks, connects them, and exposes
// inner ports under outer names; nothing else of the inside is reachable from
// outside. An outer input may feed several inner inputs; an inner output may
// be exposed under several outer names.
class Superblock : public Block {
  public:
    Superblock(std::string name, BlockConfiguration configuration);
    // Destroys the inner blocks in the order they were added: the threads of
    // a block (which may still send) end before the blocks added after it go.
    ~Superblock() override;

    // Throws std::invalid_argument when a block of that name is already inside.
    Block& add_block(std::unique_ptr<Block> block);
    template <typename T, typename... Args>
    T& add_block(Args&&... args) {
        return static_cast<T&>(add_block(std::make_unique<T>(std::forward<Args>(args)...)));
    }

    // Connects two inner blocks; throws ConnectionError when a block or port is
    // unknown or the datatypes differ.
    void add_connection(const std::string& source_block, const std::string& source_port,
                        const std::string& target_block, const std::string& target_port);
    // Exposes an inner port under an outer name; throws ConnectionError when it
    // does not exist, or when the outer output name is taken.
    void add_inport(const std::string& outer_name, const std::string& inner_block,
                    const std::string& inner_port);
    void add_outport(const std::string& outer_name, const std::string& inner_block,
                     const std::string& inner_port);

    // The inner block of that name (directly inside), or null.
    Block* find_block(const std::string& name) const;
    // The same, but throws ConnectionError when there is none.
    Block& get_block(const std::string& name) const;
    const std::vector<std::unique_ptr<Block>>& blocks() const { return m_blocks; }

    std::vector<InPortInternal*> resolve_inport(const std::string& name) const override;
    OutPortInternal* resolve_outport(const std::string& name) const override;
    void collect_blocks(std::vector<Block*>& out) override;

  private:
    struct InnerPort {
        Block* block;
        std::string port;
    };

    std::vector<std::unique_ptr<Block>> m_blocks;
    std::map<std::string, std::vector<InnerPort>> m_exposed_inputs;
    std::map<std::string, InnerPort> m_exposed_outputs;
};

// Connects an output of one block to an input of another (through the ports
// superblocks expose); the one checked step every connection goes through.
void connect_ports(const Block& source, const std::string& source_port, const Block& target,
                   const std::string& target_port);

}  // namespace Pictor
