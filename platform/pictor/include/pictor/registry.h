#pragma once

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "pictor/block.h"
#include "pictor/block_configuration.h"
#include "pictor/init_tools.h"

namespace Pictor {

using BlockFactory = std::function<std::unique_ptr<Block>(
    const std::string& name, const BlockConfiguration& configuration, const InitTools& tools)>;

// Where block types are registered by name; a plug-in receives one in its
// entry point.
class IRegistry {
  public:
    virtual ~IRegistry() = default;

    // Registers T under the type name. T is built from (name, configuration,
    // tools) when it has such a constructor, else from (name, configuration).
    template <typename T>
    void register_block(const std::string& type_name) {
        static_assert(std::is_base_of_v<Block, T>, "a registered type must be a block");
        register_factory(type_name,
                         [](const std::string& name, const BlockConfiguration& configuration,
                            const InitTools& tools) -> std::unique_ptr<Block> {
                             if constexpr (std::is_constructible_v<T, const std::string&,
                                                                   const BlockConfiguration&,
                                                                   const InitTools&>) {
                                 return std::make_unique<T>(name, configuration, tools);
                             } else {
                                 (void)tools;
                                 return std::make_unique<T>(name, configuration);
                             }
                         });
    }

  protected:
    virtual void register_factory(const std::string& type_name, BlockFactory factory) = 0;
};

// The framework's registry: creates blocks by type name and loads plug-ins.
class Registry : public IRegistry {
  public:
    // Throws std::invalid_argument for a type name that is not registered.
    std::unique_ptr<Block> create(const std::string& type_name, const std::string& name,
                                  const BlockConfiguration& configuration,
                                  const InitTools& tools) const;
    // The registered type names in the order of registration.
    const std::vector<std::string>& type_names() const { return m_order; }

    // Loads a plug-in and calls its lib_register_cpp with this registry;
    // returns what that returned. Throws std::runtime_error when the library
    // or its entry point cannot be found. The library stays loaded.
    int load_plugin(const std::string& path);

  protected:
    // Throws std::invalid_argument for an empty or already registered name.
    void register_factory(const std::string& type_name, BlockFactory factory) override;

  private:
    std::map<std::string, BlockFactory> m_factories;
    std::vector<std::string> m_order;
};

}  // namespace Pictor

// The entry point every plug-in exports.
extern "C" int lib_register_cpp(Pictor::IRegistry* registry);
