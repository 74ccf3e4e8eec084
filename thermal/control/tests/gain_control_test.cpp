#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "block_harness.h"
#include "log_capture.h"
#include "thermal_agc_gof.h"
#include "thermal_gain_mode.h"

namespace {

using std::chrono::seconds;
using thermal::testing::BlockHarness;
using thermal::testing::ManualClock;
using thermal::testing::values_of;

constexpr int kStartupRuns = 300;

const Pictor::BlockConfiguration kAgcConfiguration{
    {"damp_factor", 15},      {"max_dev", 40},      {"max_histogram_width", 4000.0},
    {"center_point", 2047.0}, {"min_gain", 0.0625}, {"max_gain", 6.67}};

class AgcTest : public ::testing::Test {
  protected:
    void SetUp() override { agc.start(); }

    void histogram(int low, int high, int centre, bool flag = false) {
        agc.push("histogram_in", Pictor::histogram_data{low, high, centre, flag});
    }
    Pictor::datatype_gof last_gof() const { return gof->values().back(); }
    float last_max() const { return hist_max->values().back().value; }
    float last_min() const { return hist_min->values().back().value; }

    BlockHarness<ThermalAgcGofBlock> agc{kAgcConfiguration};
    std::shared_ptr<Pictor::Tap<Pictor::datatype_gof>> gof =
        agc.tap<Pictor::datatype_gof>("gof_out");
    std::shared_ptr<Pictor::Tap<Pictor::datatype_float>> hist_min =
        agc.tap<Pictor::datatype_float>("hist_min_out");
    std::shared_ptr<Pictor::Tap<Pictor::datatype_float>> hist_max =
        agc.tap<Pictor::datatype_float>("hist_max_out");
};

TEST_F(AgcTest, StartsUndampedAndKeepsTheBoundsOfAFlatHistogram) {
    histogram(1000, 3000, 2000);
    EXPECT_FLOAT_EQ(last_gof().gain, 2.0f);
    EXPECT_EQ(last_gof().offset, 2047 - 4000);

    histogram(2500, 2500, 2500);
    EXPECT_EQ(gof->values().size(), 1u);
    EXPECT_EQ(last_min(), 1000.0f);
    EXPECT_EQ(last_max(), 3000.0f);

    // Still starting up: a new scene is taken as it is.
    histogram(100, 300, 200);
    EXPECT_EQ(last_min(), 100.0f);
    EXPECT_EQ(last_max(), 300.0f);
    EXPECT_FLOAT_EQ(last_gof().gain, 6.67f);  // 4000 / 200 limited to the maximum gain
}

TEST_F(AgcTest, BoundsFollowAStepAtTheDampingRate) {
    for (int run = 0; run < kStartupRuns; ++run) {
        histogram(1000, 3000, 2000);
    }
    std::vector<float> highs;
    for (int run = 0; run < 23; ++run) {
        histogram(1000, 3100, 2000);
        highs.push_back(last_max());
    }
    // One step per run while more than 2M = 80 away, then a D-th of the difference.
    EXPECT_EQ(highs[0], 3001.0f);
    EXPECT_EQ(highs[19], 3020.0f);
    EXPECT_EQ(highs[20], 3025.0f);
    EXPECT_EQ(highs[21], 3030.0f);
    EXPECT_EQ(highs[22], 3034.0f);
    EXPECT_EQ(last_min(), 1000.0f);

    // The histogram's flag suspends damping.
    histogram(1000, 3100, 2000, true);
    EXPECT_EQ(last_max(), 3100.0f);

    // A new sensor maximum gain of 10 limits the gain to two thirds of the
    // maximum and takes the bounds undamped.
    agc.push("sensor_max_gain_in", Pictor::datatype_float{10.0f});
    histogram(500, 700, 600);
    EXPECT_EQ(last_min(), 500.0f);
    EXPECT_NEAR(last_gof().gain, 6.67f * 2.0f / 3.0f, 1e-4);

    // Paused: nothing is published.
    const size_t published = gof->values().size();
    agc.push("pause_gof_in", Pictor::datatype_bool{true});
    histogram(600, 800, 700);
    EXPECT_EQ(gof->values().size(), published);
}

TEST_F(AgcTest, SixteenBitEndsAndZeroRange) {
    agc.push("agc_mode_in", Pictor::datatype_string{"equalization"});
    histogram(0, 65535, 7);
    EXPECT_FLOAT_EQ(last_gof().gain, 0.0625f);  // 4000 / 65535 raised to the minimum gain
    EXPECT_EQ(last_gof().offset, 0);            // 2047 - 32767 * 0.0625, truncated

    // Values beyond 16 bits wrap.
    histogram(65536 + 100, 65536 + 300, 0);
    EXPECT_EQ(last_min(), 100.0f);
    EXPECT_EQ(last_max(), 300.0f);

    agc.push("agc_mode_in", Pictor::datatype_string{"histogram"});
    agc.push("image_hist_ctrl", Pictor::image_hist_properties{2, 10});
    for (int run = 0; run < kStartupRuns; ++run) {
        histogram(1000, 1001, 1000);
    }
    // The damped bounds cross and the damped range reaches zero: the gain is
    // the limit, not a division by zero.
    histogram(1006, 1030, 1018);
    EXPECT_EQ(last_min(), 1003.0f);
    EXPECT_EQ(last_max(), 1002.0f);
    EXPECT_FLOAT_EQ(last_gof().gain, 6.67f);

    // A damp factor of zero is refused.
    Pictor::testing::LogCapture log;
    agc.push("image_hist_ctrl", Pictor::image_hist_properties{0, 10});
    histogram(1006, 1030, 1018);
    EXPECT_EQ(log.messages().front(), "error: ThermalAgcGof: invalid damp factor 0, keeping 2");
}

class GainModeTest : public ::testing::Test {
  protected:
    explicit GainModeTest(int discard = 0)
        : gain(Pictor::BlockConfiguration{{"as_hist_discard", discard}}) {
        gain.block.set_clock(clock.source());
        gain.start();
    }

    void enable_both_gains() {
        gain.push("video_mode_enable_in", Pictor::datatype_int32{1});
        gain.push("video_mode_enable_in", Pictor::datatype_int32{2});
    }
    void level(int32_t value) {
        gain.push("histogram_data_in", Pictor::histogram_data{0, value, 0, false});
    }

    ManualClock clock;
    BlockHarness<ThermalGainModeBlock> gain;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> modes =
        gain.tap<Pictor::datatype_int32>("gain_mode_out");
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> quick_ctrl =
        gain.tap<Pictor::datatype_int32>("quick_ctrl_out");
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> offsets =
        gain.tap<Pictor::datatype_int32>("low_gain_offset_out");
    std::shared_ptr<Pictor::Tap<Pictor::histogram_cut>> cuts =
        gain.tap<Pictor::histogram_cut>("histogram_cut_out");
    std::shared_ptr<Pictor::Tap<Pictor::sensor_raw_properties>> raw =
        gain.tap<Pictor::sensor_raw_properties>("sensor_raw_properties0_out");
};

TEST_F(GainModeTest, SwitchesByRadianceWithHysteresisAtMostOncePerSecond) {
    gain.push("video_mode_enable_in", Pictor::datatype_int32{1});
    EXPECT_TRUE(modes->values().empty());
    gain.push("video_mode_enable_in", Pictor::datatype_int32{2});
    EXPECT_EQ(values_of(*modes), (std::vector<int32_t>{5}));  // automatic switching starts

    level(20000);  // hot, but within a second of the last switch
    clock.advance(seconds(2));
    level(12000);  // between the limits
    level(14881);
    level(14000);  // low gain keeps on down to 10640
    level(20000);  // hot again, within a second
    clock.advance(seconds(2));
    level(10639);
    EXPECT_EQ(values_of(*modes), (std::vector<int32_t>{5, 1, 2}));
    EXPECT_EQ(values_of(*quick_ctrl), (std::vector<int32_t>{45, 45, 45}));

    // An unknown video mode is reported.
    Pictor::testing::LogCapture log;
    gain.push("video_mode_enable_in", Pictor::datatype_int32{-6});
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"error: Unknown video mode: -6"}));
}

TEST_F(GainModeTest, LowGainOffsetIsClampedToItsBits) {
    gain.push("fpa_temperature_in", Pictor::datatype_int32{30000});
    enable_both_gains();
    level(9000);                                                   // high gain level
    EXPECT_EQ(values_of(*offsets), (std::vector<int32_t>{8191}));  // 9000 - 0, within 14 bits
    // The noise terms of the raw properties follow the gain state.
    gain.push("sensor_raw_properties0_in",
              Pictor::sensor_raw_properties{1.0f, 0.0f, 65535, 2.0f, 0.0f, 1.0f});
    clock.advance(seconds(2));
    level(20000);  // switches to low gain; the temperature has not moved: no recomputation
    level(20000);
    EXPECT_EQ(values_of(*modes), (std::vector<int32_t>{5, 1}));
    EXPECT_EQ(values_of(*offsets).size(), 1u);
    ASSERT_EQ(raw->values().size(), 2u);
    EXPECT_FLOAT_EQ(raw->values()[0].noise_read, -2.0f);  // high gain: -4 + 2
    EXPECT_FLOAT_EQ(raw->values()[1].noise_read, 25.0f);  // low gain: 23 + 2
    EXPECT_FLOAT_EQ(raw->values()[1].noise_fixed_pattern, 4.0f);
}

TEST_F(GainModeTest, ServiceRequestsWinOverAutomaticSwitching) {
    enable_both_gains();
    gain.push("quarp_gain_mode_in", Pictor::datatype_int32{1});  // low gain, switching off
    clock.advance(seconds(5));
    for (int i = 0; i < 20; ++i) {
        level(5000);  // cold scene: automatic switching would leave low gain
    }
    EXPECT_EQ(values_of(*modes), (std::vector<int32_t>{5, 1}));

    gain.push("quarp_gain_mode_in", Pictor::datatype_int32{2});
    gain.push("quarp_gain_mode_in", Pictor::datatype_int32{0});  // automatic again
    EXPECT_EQ(values_of(*modes), (std::vector<int32_t>{5, 1, 5}));

    gain.push("quarp_gain_threshold_in", Pictor::datatype_int32{5});
    ASSERT_EQ(cuts->values().size(), 2u);
    EXPECT_FLOAT_EQ(cuts->values().front().low, 0.03f);
    EXPECT_FLOAT_EQ(cuts->values().back().high, 0.05f);
}

class GainModeDiscardTest : public GainModeTest {
  protected:
    GainModeDiscardTest() : GainModeTest(3) {}
};

TEST_F(GainModeDiscardTest, HistogramsAfterASwitchAreIgnored) {
    enable_both_gains();  // mode 5: 3 histograms ignored
    clock.advance(seconds(5));
    for (int i = 0; i < 3; ++i) {
        level(20000);
    }
    EXPECT_EQ(values_of(*modes), (std::vector<int32_t>{5}));
    level(20000);
    EXPECT_EQ(values_of(*modes), (std::vector<int32_t>{5, 1}));

    // A service request while histograms are ignored is retried after 10
    // histograms in high gain.
    clock.advance(seconds(5));
    for (int i = 0; i < 4; ++i) {
        level(5000);
    }
    EXPECT_EQ(values_of(*modes), (std::vector<int32_t>{5, 1, 2}));
    gain.push("quarp_gain_mode_in", Pictor::datatype_int32{1});
    for (int i = 0; i < 9; ++i) {
        level(5000);
    }
    EXPECT_EQ(modes->values().size(), 3u);
    level(5000);
    EXPECT_EQ(values_of(*modes), (std::vector<int32_t>{5, 1, 2, 1}));
    // Then 3 + 8 histograms are ignored, and switching stays off.
    clock.advance(seconds(5));
    for (int i = 0; i < 20; ++i) {
        level(5000);
    }
    EXPECT_EQ(modes->values().size(), 4u);
}

}  // namespace
