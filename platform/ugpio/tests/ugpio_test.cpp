#include "ugpio.h"
#include "ugpio_simulation.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace {

TEST(UgpioTest, LinesAreFoundByNameAndObserved) {
    EXPECT_EQ(ugpio_line_get_by_name("fpga_reset"), nullptr);
    EXPECT_EQ(errno, ENOENT);

    std::vector<int> values;
    ugpio_line* line = nullptr;
    {
        ugpio::SimulatedLine simulated("fpga_reset", [&](int value) { values.push_back(value); });
        line = ugpio_line_get_by_name("fpga_reset");
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(ugpio_line_get_by_name("fpga_reset"), nullptr);  // held
        EXPECT_EQ(errno, EBUSY);
        EXPECT_EQ(ugpio_line_set_value(line, 1), 0);
        EXPECT_EQ(ugpio_line_set_value(line, 0), 0);
        EXPECT_EQ(ugpio_line_set_value(line, 7), 0);
    }
    EXPECT_EQ(values, (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(ugpio_line_set_value(line, 0), -ENODEV);
    ugpio_line_release(line);
    ugpio_line_release(nullptr);
}

}  // namespace
