#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <variant>

#include "block_harness.h"
#include "shutter_integration_time.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using thermal::testing::BlockHarness;
using thermal::testing::ManualClock;
using thermal::testing::values_of;

template <typename B>
class IntegrationTimeTest : public ::testing::Test {
  protected:
    explicit IntegrationTimeTest(const Pictor::BlockConfiguration& configuration)
        : intt(configuration) {
        intt.block.set_clock(clock.source());
        intt.start();
    }

    void temperature(int32_t milli_celsius) {
        intt.push("fpa_temperature_in", Pictor::datatype_int32{milli_celsius});
    }
    // Runs the first calibration at the temperature.
    void calibrate_at(int32_t milli_celsius) {
        temperature(milli_celsius);
        clock.advance(seconds(3));
        temperature(milli_celsius);
    }
    std::vector<int32_t> times() const { return values_of(*integration_times); }
    std::vector<int32_t> requests() const { return values_of(*shutter); }

    ManualClock clock;
    BlockHarness<B> intt;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> integration_times =
        intt.template tap<Pictor::datatype_int32>("sensor_integration_time_out");
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> shutter =
        intt.template tap<Pictor::datatype_int32>("shutter_control_out");
};

class LinearIntegrationTimeTest : public IntegrationTimeTest<ShutterIntegrationTimeBlock> {
  protected:
    LinearIntegrationTimeTest()
        : IntegrationTimeTest({{"linear_temp_low", 20000},
                               {"linear_temp_high", 60000},
                               {"int_time_temp_low", 400},
                               {"int_time_temp_high", 200},
                               {"cal_int_time", 500}}) {}
};

TEST_F(LinearIntegrationTimeTest, FirstCalibrationThreeSecondsAfterStartThenThresholds) {
    temperature(40000);
    clock.advance(milliseconds(2999));
    temperature(40000);
    EXPECT_TRUE(requests().empty());
    clock.advance(milliseconds(1));
    temperature(40000);
    EXPECT_EQ(times(), (std::vector<int32_t>{300}));
    EXPECT_EQ(requests(), (std::vector<int32_t>{3}));

    // Beyond the temperature threshold: a new integration time needs no
    // shutter, an unchanged one (clamped below the law) does.
    temperature(10000);
    temperature(5000);
    temperature(70000);
    EXPECT_EQ(times(), (std::vector<int32_t>{300, 400, 200}));
    EXPECT_EQ(requests(), (std::vector<int32_t>{3, 3}));

    // Within it: only the time threshold (720 s) recalibrates.
    temperature(70100);
    clock.advance(seconds(720));
    temperature(70100);
    EXPECT_EQ(requests().size(), 2u);
    clock.advance(seconds(1));
    temperature(70100);
    EXPECT_EQ(requests(), (std::vector<int32_t>{3, 3, 3}));

    // A delta time of 0 switches the time threshold off.
    intt.push("shutter_delta_time_in", Pictor::datatype_int32{0});
    clock.advance(seconds(100000));
    temperature(70000);
    EXPECT_EQ(requests().size(), 3u);

    // Requests from outside pass unchanged.
    intt.push("shutter_control_in", Pictor::datatype_int32{1});
    EXPECT_EQ(requests(), (std::vector<int32_t>{3, 3, 3, 1}));
}

TEST_F(LinearIntegrationTimeTest, ResumedIntegrationWaitsForItsOwnCalibrationDelay) {
    calibrate_at(40000);
    clock.advance(seconds(100));
    intt.push("pause_intt_in", Pictor::datatype_bool{true});
    intt.push("pause_intt_in", Pictor::datatype_bool{false});
    clock.advance(seconds(2));
    temperature(40000);
    EXPECT_EQ(requests().size(), 1u);
    clock.advance(seconds(1));
    temperature(40000);
    EXPECT_EQ(requests(), (std::vector<int32_t>{3, 3}));
}

class X3IntegrationTimeTest : public IntegrationTimeTest<ShutterIntegrationTimeX3Block> {
  protected:
    X3IntegrationTimeTest()
        : IntegrationTimeTest({{"intt_temp_limits", {13.275862069, 60.0}},
                               {"intt_intt_limits", {371, 100}},
                               {"intt_temp_factors", {448.0, -5.8, 0, 0}},
                               {"cal_int_time", 300}}) {}

    template <typename T>
    T diagnostic(const char* name) const {
        return std::get<T>(intt.block.debug_data().get(name).value());
    }
};

TEST_F(X3IntegrationTimeTest, CubicLawOverrideAndGainTables) {
    calibrate_at(36600);
    temperature(5000);
    EXPECT_EQ(times(), (std::vector<int32_t>{235, 371}));  // 448 - 5.8 * 36.6 truncated; limit
    EXPECT_EQ(requests(), (std::vector<int32_t>{3}));

    // A new override wins and forces a recalibration after the usual delay.
    intt.push("override_int_t_in", Pictor::datatype_int32{200});
    clock.advance(seconds(3));
    temperature(5000);
    EXPECT_EQ(times(), (std::vector<int32_t>{235, 371, 200}));
    EXPECT_EQ(requests(), (std::vector<int32_t>{3, 3}));
    intt.push("override_int_t_in", Pictor::datatype_int32{200});
    clock.advance(seconds(3));
    temperature(5000);
    EXPECT_EQ(requests().size(), 2u);

    intt.push("override_int_t_in", Pictor::datatype_int32{0});
    clock.advance(seconds(3));
    temperature(5000);
    EXPECT_EQ(times().back(), 371);

    // Low gain takes its own table at once, whatever the thresholds.
    intt.push("gain_mode_in", Pictor::datatype_int32{1});
    EXPECT_EQ(times().back(), 100);
    EXPECT_EQ(requests().size(), 3u);
    EXPECT_EQ(diagnostic<std::string>("intt.intt_limits"), "100, 100");
    EXPECT_EQ(diagnostic<int64_t>("thermal_sensor_itime"), 100);
    intt.push("gain_mode_in", Pictor::datatype_int32{2});
    EXPECT_EQ(diagnostic<std::string>("intt.temp_limits"), "13.2759, 60");
    EXPECT_EQ(times().back(), 371);
}

TEST_F(X3IntegrationTimeTest, CalibrationIntegrationTimeCountsAsPublished) {
    calibrate_at(36600);
    intt.push("set_cal_int_time_in", Pictor::datatype_bool{true});
    intt.push("set_cal_int_time_in", Pictor::datatype_bool{false});
    EXPECT_EQ(times(), (std::vector<int32_t>{235, 300}));

    // When the time threshold comes, the law's value replaces the calibration one.
    clock.advance(seconds(721));
    temperature(36600);
    EXPECT_EQ(times(), (std::vector<int32_t>{235, 300, 235}));
    EXPECT_EQ(requests(), (std::vector<int32_t>{3}));
}

}  // namespace
