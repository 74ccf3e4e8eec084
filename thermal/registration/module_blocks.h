#pragma once

#include <string>

#include "pictor/block_configuration.h"
#include "sensor_superblocks.h"

// The camera modules: each is a sensor front end with the module's built-in
// configuration. The instance configuration is merged over a copy of the
// defaults, so an instance overrides any default it names.
template <typename Base, const Pictor::BlockConfiguration& Defaults>
class ModuleBlock : public Base {
  public:
    ModuleBlock(const std::string& name, const Pictor::BlockConfiguration& configuration)
        : Base(name, merged(configuration)) {}

    static const Pictor::BlockConfiguration& defaults() { return Defaults; }

  private:
    static Pictor::BlockConfiguration merged(const Pictor::BlockConfiguration& configuration) {
        Pictor::BlockConfiguration result = Defaults;
        result += configuration;
        return result;
    }
};

// The defaults, built once when the library is loaded.
extern const Pictor::BlockConfiguration kPico384pMod1SDefaults;
extern const Pictor::BlockConfiguration kPico384pMod2SDefaults;
extern const Pictor::BlockConfiguration kPico384pMod2TDefaults;
extern const Pictor::BlockConfiguration kPico384sMod1SDefaults;
extern const Pictor::BlockConfiguration kPico384sMod2SDefaults;
extern const Pictor::BlockConfiguration kPico384sMod2TDefaults;
extern const Pictor::BlockConfiguration kPico640g2Mod1SDefaults;
extern const Pictor::BlockConfiguration kPico640g2Mod2SDefaults;
extern const Pictor::BlockConfiguration kPico640sMod1SDefaults;
extern const Pictor::BlockConfiguration kPico640sMod2SDefaults;
extern const Pictor::BlockConfiguration kPico640sMod2TDefaults;

using Pico384pMod1SModuleBlock = ModuleBlock<Tm301eSensor, kPico384pMod1SDefaults>;
using Pico384pMod2SModuleBlock = ModuleBlock<J4Sensor, kPico384pMod2SDefaults>;
using Pico384pMod2TModuleBlock = ModuleBlock<J4Sensor, kPico384pMod2TDefaults>;
using Pico384sMod1SModuleBlock = ModuleBlock<Tm301eSensor, kPico384sMod1SDefaults>;
using Pico384sMod2SModuleBlock = ModuleBlock<J4Sensor, kPico384sMod2SDefaults>;
using Pico384sMod2TModuleBlock = ModuleBlock<J4Sensor, kPico384sMod2TDefaults>;
using Pico640g2Mod1SModuleBlock = ModuleBlock<Tm301eSensor, kPico640g2Mod1SDefaults>;
using Pico640g2Mod2SModuleBlock = ModuleBlock<J4Sensor, kPico640g2Mod2SDefaults>;
using Pico640sMod1SModuleBlock = ModuleBlock<Tm301eSensor, kPico640sMod1SDefaults>;
using Pico640sMod2SModuleBlock = ModuleBlock<J4Sensor, kPico640sMod2SDefaults>;
using Pico640sMod2TModuleBlock = ModuleBlock<J4Sensor, kPico640sMod2TDefaults>;
