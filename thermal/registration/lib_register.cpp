#include <exception>

#include "fpga_blocks.h"
#include "lynred_sensor_blocks.h"
#include "module_blocks.h"
#include "pictor/log.h"
#include "pictor/registry.h"
#include "sensor_fps_checker.h"
#include "sensor_superblocks.h"
#include "shutter_integration_time.h"
#include "thermal_agc_gof.h"
#include "thermal_sensor_dbus.h"
#include "ti_adc3562.h"
#include "ti_ads4142.h"
#include "ti_dac80504.h"
#include "ulis_sensor_blocks.h"
#include "utility_blocks.h"

// Registers the plug-in's block types. The order of registration is part of
// the plug-in's interface: a new type goes into its fixed place in the list.
// A refused registration (a name taken already) is logged and ends the
// registration with -1, as no exception may leave the entry point.
extern "C" __attribute__((visibility("default"))) int lib_register_cpp(
    Pictor::IRegistry* registry) {
    if (registry == nullptr) {
        return -1;
    }
    try {
        registry->register_block<J4IppFpgaBlock>("J4IppFpga");
        registry->register_block<DebugHelperBlock>("DebugHelper");
        registry->register_block<SensorFpsChecker>("SensorFpsChecker");
        registry->register_block<UlisPico384PSensorBlock>("PICO384P");
        registry->register_block<LynredPico384PSensorBlock>("LynredPico384P");
        registry->register_block<Pico384pMod1SModuleBlock>("Pico384pMod1S");
        registry->register_block<Pico384pMod2SModuleBlock>("Pico384pMod2S");
        registry->register_block<Pico384pMod2TModuleBlock>("Pico384pMod2T");
        registry->register_block<LynredPico384SSensorBlock>("LynredPico384S");
        registry->register_block<Pico384sMod1SModuleBlock>("Pico384sMod1S");
        registry->register_block<Pico384sMod2SModuleBlock>("Pico384sMod2S");
        registry->register_block<Pico384sMod2TModuleBlock>("Pico384sMod2T");
        registry->register_block<UlisPico640Gen2SensorBlock>("PICO640");
        registry->register_block<UlisPico640Gen2HearthSensorBlock>("PICO640G2");
        registry->register_block<Pico640g2Mod1SModuleBlock>("Pico640g2Mod1S");
        registry->register_block<Pico640g2Mod2SModuleBlock>("Pico640g2Mod2S");
        registry->register_block<LynredPico640Gen2SensorBlock>("LynredPico640Gen2");
        registry->register_block<Pico640sMod1SModuleBlock>("Pico640sMod1S");
        registry->register_block<Pico640sMod2SModuleBlock>("Pico640sMod2S");
        registry->register_block<Pico640sMod2TModuleBlock>("Pico640sMod2T");
        registry->register_block<Tm301eFpgaBlock>("Tm301eFpga");
        registry->register_block<Tm302eFpgaBlock>("Tm302eFpga");
        registry->register_block<ThermalSensorDbusBlock>("ThermalSensorDbus");
        registry->register_block<SensorWpIdBlock>("SensorWpId");
        registry->register_block<ShutterIntegrationTimeBlock>("ShutterIntTime");
        registry->register_block<ShutterIntegrationTimeX3Block>("ShutterIntTimeX3");
        registry->register_block<J4Sensor>("J4Sensor");
        registry->register_block<Tm301eSensor>("Tm301eSensor");
        registry->register_block<Tm302eSensor>("Tm302eSensor");
        registry->register_block<ThermalAgcGofBlock>("ThermalAgcGof");
        registry->register_block<ThermalTriggBlock>("ThermalTrigg");
        registry->register_block<TiAdc3562Block>("TiAdc3562");
        registry->register_block<TiAds4142Block>("TiAds4142");
        registry->register_block<TiDac80504Block>("TiDac80504");
    } catch (const std::exception& error) {
        Pictor::ilog(Pictor::LogLevel::Error, "lib_register_cpp: %s", error.what());
        return -1;
    }
    return 0;
}
