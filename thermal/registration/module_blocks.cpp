#include "module_blocks.h"

#include <initializer_list>
#include <string>

namespace {

using Config = Pictor::BlockConfiguration;

Config combined(std::initializer_list<Config> parts) {
    Config result;
    for (const Config& part : parts) {
        result += part;
    }
    return result;
}

Config blocks(const char* sensor, const char* adc, const char* dac) {
    return {{"super_cfg.sensor_block", sensor},
            {"super_cfg.adc_block", adc},
            {"super_cfg.dac_block", dac}};
}

// The J4 front end takes its FPGA block by name; the Tm301e one has its own.
const Config kJ4Fpga{{"super_cfg.fpga_block", "J4IppFpga"}};

Config frame(int width, int height) {
    return {{"fpga_cfg.device", "2.1"},          {"fpga_cfg.shutter_move_pulse", 40},
            {"fpga_cfg.shutter_hold_pulse", 90}, {"fpga_cfg.sensor_width", width},
            {"fpga_cfg.sensor_height", height},  {"fpga_cfg.fpga_width", width},
            {"fpga_cfg.fpga_height", height}};
}

Config thermography(bool on) {
    return {{"sensor_cfg.thermography", on}};
}

Config absoluteMode(int mode) {
    return {{"fpga_cfg.abs_mode", mode}};
}

template <typename T>
Pictor::ConfigValue list(std::initializer_list<T> values) {
    return Pictor::ConfigValue(Pictor::ConfigValue::List(values.begin(), values.end()));
}

// An integration-time law (degrees Celsius, integration-time limits, the
// factors c0..c3) under the given key prefix ("intt_" or "lg_intt_").
Config integrationLaw(const std::string& prefix, std::initializer_list<double> temperatures,
                      std::initializer_list<int64_t> times, std::initializer_list<double> factors) {
    const std::string key = "shutter_int_t_cfg." + prefix;
    return {{key + "temp_limits", list(temperatures)},
            {key + "intt_limits", list(times)},
            {key + "temp_factors", list(factors)}};
}

Config integrationTime(std::initializer_list<double> temperatures,
                       std::initializer_list<int64_t> times, std::initializer_list<double> factors,
                       int calibration) {
    Config law = integrationLaw("intt_", temperatures, times, factors);
    law.set("shutter_int_t_cfg.cal_int_time", calibration);
    return law;
}

// The low-gain integration-time law of the thermography modules.
const Config kLowGainIntegrationTime =
    integrationLaw("lg_intt_", {-40.0, 75.0}, {65, 30},
                   {55.2424591, -0.414235226, -0.00241637215, 4.60261363e-05});

const Config kPico384pTemperature{{"fpga_cfg.temp_sensor_response", 0.0148},
                                  {"fpga_cfg.temp_sensor_V_30C", 1.782}};
const Config kPico640g2Temperature{{"fpga_cfg.temp_sensor_response", 0.0148},
                                   {"fpga_cfg.temp_sensor_V_30C", 1.8056}};

Config pico384sTemperature(bool thermographic) {
    Config constants{{"fpga_cfg.temp_sensor_response", -0.00483828},
                     {"fpga_cfg.temp_sensor_offset_ref_C", 473.577},
                     {"fpga_cfg.temp_sensor_V_30C", 0.0},
                     {"fpga_cfg.fpa_temp_samples", 1},
                     {"fpga_cfg.fpa_temp_adc_select", true},
                     {"fpga_cfg.adc_high_ref", 2.56},
                     {"fpga_cfg.adc_low_ref", 1.536},
                     {"fpga_cfg.adc_high_output", 65535},
                     {"fpga_cfg.adc_low_output", 0},
                     {"fpga_cfg.cam_temp_adc_select", true},
                     {"fpga_cfg.cam_adc_ch", 1},
                     {"fpga_cfg.abs_temp_shift", 3}};
    if (!thermographic) {
        constants.set("sensor_cfg.icap", 4);
    }
    return constants;
}

const Config kPico640sTemperature{{"fpga_cfg.temp_sensor_response", -0.004810005},
                                  {"fpga_cfg.temp_sensor_V_30C", 2.131024531},
                                  {"fpga_cfg.adc_high_ref", 2.9},
                                  {"fpga_cfg.adc_low_ref", 0.5},
                                  {"fpga_cfg.adc_high_output", 65535},
                                  {"fpga_cfg.adc_low_output", 0},
                                  {"fpga_cfg.pre_adc_gain", 1.0},
                                  {"fpga_cfg.pre_adc_offset", 0.0},
                                  {"sensor_cfg.icap", 5},
                                  {"sensor_cfg.vtemp_select", false},
                                  {"dac80504_cfg.channels", 2},
                                  {"dac80504_cfg.resolution", 16},
                                  {"dac80504_cfg.gfid_channel", 0},
                                  {"dac80504_cfg.gsk_channel", 1},
                                  {"dac80504_cfg.vsk_channel", -1},
                                  {"dac80504_cfg.video_offset_channel", -1},
                                  {"dac80504_cfg.channel0_gain", 2},
                                  {"dac80504_cfg.channel1_gain", 2}};

// The image filter and AGC of the Tm301e modules.
Config tm301eImage(int spatialThreshold, double histogramWidth, double maxGain) {
    return {{"fpga_cfg.zoom", false},
            {"fpga_cfg.spat_flt_fract", 18},
            {"fpga_cfg.spat_flt_thresh", spatialThreshold},
            {"fpga_cfg.temp_flt_fract", 21},
            {"fpga_cfg.temp_flt_thresh", 20},
            {"algogof_cfg.damp_factor", 15},
            {"algogof_cfg.max_dev", 40},
            {"algogof_cfg.max_histogram_width", histogramWidth},
            {"algogof_cfg.center_point", 2047.0},
            {"algogof_cfg.min_gain", 0.0625},
            {"algogof_cfg.max_gain", maxGain}};
}

const Config kPico384Frame = frame(384, 288);
const Config kPico640Frame = frame(640, 480);

}  // namespace

const Config kPico384pMod1SDefaults =
    combined({blocks("LynredPico384P", "ads4142", "dac80504"), kPico384Frame, thermography(false),
              kPico384pTemperature, tm301eImage(13, 4000, 6.67),
              integrationTime({10.0, 60.0}, {390, 100}, {448.0, -5.8, 0.0, 0.0}, 300)});
const Config kPico384pMod2SDefaults =
    combined({kJ4Fpga, blocks("LynredPico384P", "ads4142", "dac80504"), kPico384Frame,
              thermography(false), absoluteMode(0), kPico384pTemperature,
              integrationTime({13.275862069, 60.0}, {371, 100}, {448.0, -5.8, 0.0, 0.0}, 300)});
const Config kPico384pMod2TDefaults =
    combined({kJ4Fpga, blocks("LynredPico384P", "ads4142", "dac80504"), kPico384Frame,
              thermography(true), absoluteMode(1), kPico384pTemperature,
              integrationTime({-14.0, 70.0}, {320, 100}, {303.7, -2.183, -0.06236, 0.0007424}, 300),
              kLowGainIntegrationTime});
const Config kPico384sMod1SDefaults =
    combined({blocks("LynredPico384S", "none", "none"), kPico384Frame, thermography(false),
              pico384sTemperature(false), tm301eImage(13, 4000, 6.67),
              integrationTime({-3.5, 44.0}, {371, 175}, {357.0, -4.13066, 0.0, 0.0}, 210)});
const Config kPico384sMod2SDefaults =
    combined({kJ4Fpga, blocks("LynredPico384S", "none", "none"), kPico384Frame, thermography(false),
              pico384sTemperature(false),
              integrationTime({-3.5, 44.0}, {371, 175}, {357.0, -4.13066, 0.0, 0.0}, 210)});
const Config kPico384sMod2TDefaults =
    combined({kJ4Fpga, blocks("LynredPico384S", "none", "none"), kPico384Frame, thermography(true),
              pico384sTemperature(true),
              integrationTime({7.0, 75.0}, {371, 255}, {383.0, -1.71429, 0.0, 0.0}, 300),
              kLowGainIntegrationTime});
const Config kPico640g2Mod1SDefaults =
    combined({blocks("LynredPico640Gen2", "ads4142", "dac80504"), kPico640Frame,
              thermography(false), kPico640g2Temperature, tm301eImage(11, 3616, 5.0),
              integrationTime({20.0, 65.0}, {639, 190}, {838.556, -9.97778, 0.0, 0.0}, 450)});
const Config kPico640g2Mod2SDefaults =
    combined({kJ4Fpga, blocks("LynredPico640Gen2", "ads4142", "dac80504"), kPico640Frame,
              thermography(false), absoluteMode(0), kPico640g2Temperature,
              integrationTime({21.20267, 65.0}, {627, 190}, {838.556, -9.97778, 0.0, 0.0}, 450)});
const Config kPico640sMod1SDefaults =
    combined({blocks("LynredPico640Gen2", "adc3562", "dac80504"), kPico640Frame,
              thermography(false), kPico640sTemperature, tm301eImage(11, 3616, 5.0),
              integrationTime({25.0, 60.0}, {627, 470}, {739.14, -4.48571, 0.0, 0.0}, 555)});
const Config kPico640sMod2SDefaults =
    combined({kJ4Fpga, blocks("LynredPico640Gen2", "adc3562", "dac80504"), kPico640Frame,
              thermography(false), absoluteMode(0), kPico640sTemperature,
              integrationTime({25.0, 60.0}, {627, 470}, {739.14, -4.48571, 0.0, 0.0}, 555)});
const Config kPico640sMod2TDefaults =
    combined({kJ4Fpga, blocks("LynredPico640Gen2", "adc3562", "dac80504"), kPico640Frame,
              thermography(true), absoluteMode(1), kPico640sTemperature,
              integrationTime({25.0, 60.0}, {627, 470}, {739.14, -4.48571, 0.0, 0.0}, 555),
              kLowGainIntegrationTime});
