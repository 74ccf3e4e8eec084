#include "events/event_names.h"

#include <gtest/gtest.h>

namespace {

// The device of this executable has one channel: no camera names are added.
TEST(EventNames, NamesOfProfileAnyAndGlobalEvents) {
    EXPECT_EQ(utils::generateEventName(1, 3), "Camera1Profile3");
    EXPECT_EQ(utils::generateEventName(12, 105), "Camera12Profile105");
    EXPECT_EQ(utils::generateAnyEventName(2), "Camera2ProfileANY");
    EXPECT_EQ(utils::generateGlobalEventName(), "CameraANY");
}

TEST(EventNames, NiceNamesAndLookupKeysOnASingleChannelDevice) {
    const std::string niceName = utils::generateEventNiceName("Dwellwatch", "Entrance", 1);
    EXPECT_EQ(niceName, "Dwellwatch: Entrance");
    EXPECT_EQ(utils::generateEventLookupKey(niceName, "Camera1Profile3"),
              "Dwellwatch: Entrance_Camera1Profile3");
    EXPECT_EQ(utils::appendCameraName("DwellwatchGuard", 1), "DwellwatchGuard");
}

}  // namespace
