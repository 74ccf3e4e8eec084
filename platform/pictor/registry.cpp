#include "pictor/registry.h"

#include <dlfcn.h>

namespace Pictor {

std::unique_ptr<Block> Registry::create(const std::string& type_name, const std::string& name,
                                        const BlockConfiguration& configuration,
                                        const InitTools& tools) const {
    auto it = m_factories.find(type_name);
    if (it == m_factories.end()) {
        throw std::invalid_argument("no block type " + type_name + " is registered");
    }
    return it->second(name, configuration, tools);
}

void Registry::register_factory(const std::string& type_name, BlockFactory factory) {
    if (type_name.empty()) {
        throw std::invalid_argument("a block type needs a name");
    }
    if (!m_factories.emplace(type_name, std::move(factory)).second) {
        throw std::invalid_argument("block type " + type_name + " is registered already");
    }
    m_order.push_back(type_name);
}

int Registry::load_plugin(const std::string& path) {
    // Never closed: the blocks it makes may live as long as the process.
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        throw std::runtime_error("cannot load plug-in " + path + ": " + ::dlerror());
    }
    using Entry = int (*)(IRegistry*);
    auto entry = reinterpret_cast<Entry>(::dlsym(library, "lib_register_cpp"));
    if (entry == nullptr) {
        throw std::runtime_error("plug-in " + path + " has no lib_register_cpp");
    }
    return entry(this);
}

}  // namespace Pictor
