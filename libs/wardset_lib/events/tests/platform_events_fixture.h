#pragma once

#include <gtest/gtest.h>

#include <string>

#include "base/interval_timer_observable.h"
#include "base/sdk_wrapper.h"
#include "temporary_root.h"

// A fresh platform root with the event wrapper and the interval timer running
// (delayed undeclarations need the timer), all shut down after the test.
class PlatformEventsFixture : public ::testing::Test {
  protected:
    PlatformEventsFixture() {
        IntervalTimerObservable::initialize(10000);
        sdk_wrapper_init("dwellwatch", "Dwellwatch", "Zelk");
    }
    ~PlatformEventsFixture() override {
        sdk_wrapper_cleanup();
        IntervalTimerObservable::deinitialize();
    }

    // Device parameters of a two-channel device with named channels. Must be
    // written before the first device fact is read in the process.
    void describeTwoChannelDevice() const {
        root.writeFile("/etc/camlet/parameters.conf",
                       "root.Properties.EmbeddedDevelopment.RuleEngine.MultiConfiguration = yes\n"
                       "root.ImageSource.NbrOfSources = 2\n"
                       "root.ImageSource.I0.Name = Front\n"
                       "root.ImageSource.I1.Name = Back\n");
    }

    camlet::testing::TemporaryRoot root;
};
