#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "private_bus.h"

namespace camlet::testing {

// One private bus for a whole test program, for code under test that connects
// to the system bus once per process and keeps that connection. A test program
// registers it with
//   ::testing::AddGlobalTestEnvironment(new camlet::testing::ProgramBus);
// the bus runs from before the first test to after the last.
class ProgramBus : public ::testing::Environment {
  public:
    static const PrivateBus& get() { return *s_bus; }

    void SetUp() override { s_bus = std::make_unique<PrivateBus>(); }
    void TearDown() override { s_bus.reset(); }

  private:
    static inline std::unique_ptr<PrivateBus> s_bus;
};

}  // namespace camlet::testing
