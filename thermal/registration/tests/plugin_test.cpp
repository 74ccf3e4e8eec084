#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pictor/registry.h"

namespace {

// The block types the plug-in registers, in order.
const std::vector<std::string> kRegisteredTypes = {
    "J4IppFpga",
    "DebugHelper",
    "SensorFpsChecker",
    "PICO384P",
    "LynredPico384P",
    "LynredPico384S",
    "PICO640",
    "PICO640G2",
    "LynredPico640Gen2",
    "Tm301eFpga",
    "Tm302eFpga",
    "ThermalSensorDbus",
    "SensorWpId",
    "ShutterIntTime",
    "ShutterIntTimeX3",
    "ThermalAgcGof",
    "ThermalTrigg",
    "TiAdc3562",
    "TiAds4142",
    "TiDac80504",
};

TEST(ThermalPlugin, RegistersItsBlockTypesInOrder) {
    Pictor::Registry registry;
    EXPECT_EQ(registry.load_plugin(THERMAL_PLUGIN_PATH), 0);
    EXPECT_EQ(registry.type_names(), kRegisteredTypes);
}

}  // namespace
