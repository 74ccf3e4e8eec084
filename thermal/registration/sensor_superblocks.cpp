#include "sensor_superblocks.h"

#include "fpga_blocks.h"
#include "lynred_sensor_blocks.h"
#include "pictor/log.h"
#include "shutter_integration_time.h"
#include "thermal_agc_gof.h"
#include "thermal_gain_mode.h"
#include "thermographyd_params.h"
#include "ti_adc3562.h"
#include "ti_ads4142.h"
#include "ti_dac80504.h"
#include "utility_blocks.h"

#include <type_traits>

ThermalFrontEnd::ThermalFrontEnd(const std::string& name,
                                 const Pictor::BlockConfiguration& configuration, std::string owner)
    : Pictor::Superblock(name, configuration), m_owner(std::move(owner)) {}

Pictor::BlockConfiguration ThermalFrontEnd::section(const char* key) const {
    Pictor::BlockConfiguration subtree = get_configuration().getSubtree(key);
    if (get_configuration().has("channel")) {
        subtree.set("channel", get_configuration().getInt("channel"));
    }
    return subtree;
}

void ThermalFrontEnd::expose_inputs(const std::string& block,
                                    std::initializer_list<const char*> ports) {
    for (const char* port : ports) {
        add_inport(port, block, port);
    }
}

void ThermalFrontEnd::expose_outputs(const std::string& block,
                                     std::initializer_list<const char*> ports) {
    for (const char* port : ports) {
        add_outport(port, block, port);
    }
}

void ThermalFrontEnd::report(const std::string& message) const {
    Pictor::ilog(Pictor::LogLevel::Error, "%s: %s", m_owner.c_str(), message.c_str());
}

void ThermalFrontEnd::expose_fpga(const std::string& fpga) {
    expose_inputs(fpga, {"fpga_register_state", "fpga_capture_mode", "sensor_capture_raw",
                         "sensor_capture_nuc", "current_zoom_mag", "fpga_test_pattern",
                         "sensor_eeprom_read_in"});
    // The camera temperature is shown too: the D-Bus block beside the front
    // end publishes it.
    expose_outputs(fpga, {"sensor_raw_average", "sensor_max_fps_out", "video_type_out",
                          "video_type_string_out", "fpa_temperature_raw_out", "sensor_eeprom_out",
                          "camera_temperature_out"});
}

template <typename T>
void ThermalFrontEnd::add_sensor() {
    const std::string sensor = inner("_supersensor");
    add_block<T>(sensor, section("sensor_cfg"));
    expose_inputs(sensor, {"sensor_bias_in", "sensor_exposure_in", "exposure_info_in",
                           "sensor_regs_in", "streaming_in"});
    expose_outputs(sensor,
                   {"sensor_bias_run_out", "sensor_bias_out", "sensor_integration_cap_out",
                    "sensor_exposure_out", "registers_latency1_out", "registers_latency2_out"});
    add_outport("sensor_exposure0_out", sensor, "sensor_exposure_out");
    add_outport("registers_lat1_exposure0", sensor, "registers_latency1_out");
    add_outport("registers_lat2_exposure0", sensor, "registers_latency2_out");
}

bool ThermalFrontEnd::add_chosen_sensor() {
    const std::string choice = get_configuration().getString("super_cfg.sensor_block", "none");
    if (choice == "LynredPico384P") {
        add_sensor<LynredPico384PSensorBlock>();
    } else if (choice == "LynredPico384S") {
        add_sensor<LynredPico384SSensorBlock>();
    } else if (choice == "LynredPico640Gen2") {
        add_sensor<LynredPico640Gen2SensorBlock>();
    } else if (choice == "none") {
        report("No sensor_block!!!");
        return false;
    } else {
        report("Unknown sensor_block: " + choice + " !!!");
        return false;
    }
    return true;
}

bool ThermalFrontEnd::add_converters() {
    const std::string adc = get_configuration().getString("super_cfg.adc_block", "none");
    if (adc == "ads4142") {
        add_block<TiAds4142Block>(inner("_superadc"), section("adc_cfg"));
    } else if (adc == "adc3562") {
        add_block<TiAdc3562Block>(inner("_superadc"), section("adc_cfg"));
    } else if (adc != "none") {
        report("Unknown adc_block: " + adc + " !!!");
        return false;
    }
    const std::string dac = get_configuration().getString("super_cfg.dac_block", "none");
    if (dac == "dac80504") {
        const std::string block = inner("_superdac");
        add_block<TiDac80504Block>(block, section("dac80504_cfg"));
        for (const char* stem : {"gfid", "gsk", "vsk", "video_offset"}) {
            add_connection(inner("_supersensor"), std::string(stem) + "_voltage_out", block,
                           std::string(stem) + "_voltage_in");
        }
    } else if (dac != "none") {
        report("Unknown dac_block: " + dac + " !!!");
        return false;
    }
    return true;
}

template <typename T>
void ThermalFrontEnd::add_integration_time() {
    const std::string intt = inner("_superintt");
    add_block<T>(intt, section("shutter_int_t_cfg"));
    add_inport("shutter_control", intt, "shutter_control_in");
    add_inport("QUARP_TemperatureDeltaMillic", intt, "shutter_delta_temp_in");
    add_inport("QUARP_CalibrationTimeInterval", intt, "shutter_delta_time_in");
    add_inport("fpga_register_state", intt, "pause_all_in");
    if constexpr (std::is_same_v<T, ShutterIntegrationTimeX3Block>) {
        add_inport("override_int_t_in", intt, "override_int_t_in");
    }
    add_connection(intt, "shutter_control_out", inner("_superfpga"), "shutter_control");
}

void ThermalFrontEnd::wire_workpackage_ids(const std::string& store_retrieve) {
    if (m_workpackage_source.empty()) {
        add_inport("workpackage_id_store", store_retrieve, "workpackage_id_store");
        add_inport("workpackage_id_retrieve", store_retrieve, "workpackage_id_retrieve");
        return;
    }
    add_connection(m_workpackage_source, "sensor_workpackage_id_store", store_retrieve,
                   "workpackage_id_store");
    add_connection(m_workpackage_source, "sensor_workpackage_id_retrieve", store_retrieve,
                   "workpackage_id_retrieve");
}

template <typename T>
std::string ThermalFrontEnd::add_store_retrieve(const char* suffix, const std::string& source,
                                                const char* port) {
    const std::string block = inner(suffix);
    add_block<DataStoreRetrieve<T>>(block, Pictor::BlockConfiguration());
    wire_workpackage_ids(block);
    add_connection(source, port, block, "data_in");
    return block;
}

void ThermalFrontEnd::add_control_loop() {
    const std::string fpga = inner("_superfpga");
    const std::string intt = inner("_superintt");

    const std::string fpa =
        add_store_retrieve<Pictor::datatype_int32>("_fpa_temp_sr", fpga, "fpa_temperature_out");
    add_connection(fpa, "data_out", intt, "fpa_temperature_in");
    add_outport("fpa_temperature_out", fpa, "data_out");

    const std::string debug = inner("_superdebug");
    add_block<DebugHelperBlock>(debug, Pictor::BlockConfiguration());
    add_inport("fpga_capture_mode", debug, "fpga_capture_mode");
    add_inport("sensor_capture_raw", debug, "sensor_capture_raw");
    add_connection(debug, "set_cal_int_time_out", intt, "set_cal_int_time_in");

    const std::string loading =
        add_store_retrieve<Pictor::datatype_bool>("_load_gain_sr", fpga, "loading_gain_corr_out");
    add_connection(loading, "data_out", intt, "pause_intt_in");

    const std::string trigger = inner("_thermaltrigg");
    add_block<ThermalTriggBlock>(trigger, Pictor::BlockConfiguration());
    add_inport("sensor_exposure_in", trigger, "sensor_exposure_in");
    add_connection(trigger, "trigger_out", fpga, "trigger_in");
}

J4Sensor::J4Sensor(const std::string& name, const Pictor::BlockConfiguration& configuration)
    : ThermalFrontEnd(name, configuration, "J4Sensor") {
    const std::string choice = configuration.getString("super_cfg.fpga_block", "none");
    if (choice == "none") {
        report("No fpga_block!!!");
        return;
    }
    if (choice != "J4IppFpga") {
        report("Unknown fpga_block: " + choice + " !!!");
        return;
    }
    const std::string fpga = inner("_superfpga");
    add_block<J4IppFpgaBlock>(fpga, section("fpga_cfg"));
    expose_fpga(fpga);
    if (!add_chosen_sensor()) {
        return;
    }
    const std::string wpid = inner("_superwpid");
    add_block<SensorWpIdBlock>(wpid, Pictor::BlockConfiguration());
    set_workpackage_source(wpid);
    if (!add_converters()) {
        return;
    }
    add_integration_time<ShutterIntegrationTimeX3Block>();
    const std::string intt = inner("_superintt");
    const std::string integration = add_store_retrieve<Pictor::datatype_int32>(
        "_int_t_sr", intt, "sensor_integration_time_out");
    add_connection(integration, "data_out", inner("_supersensor"), "sensor_integration_time_in");
    add_control_loop();
    add_connection(inner("_thermaltrigg"), "trigger_out", wpid, "trigger_in");
    add_gain_mode();
}

void J4Sensor::add_gain_mode() {
    const std::string fpga = inner("_superfpga");
    const std::string gain = inner("_supergain");
    add_block<ThermalGainModeBlock>(gain, section("gain_mode_cfg"));
    add_connection(gain, "gain_mode_out", fpga, "gain_mode_in");
    add_connection(gain, "gain_mode_out", inner("_superintt"), "gain_mode_in");
    add_connection(gain, "histogram_cut_out", fpga, "histogram_cut_in");
    add_connection(gain, "low_gain_offset_out", fpga, "low_gain_offset_in");
    add_connection(inner("_fpa_temp_sr"), "data_out", gain, "fpa_temperature_in");
    add_connection(inner("_supersensor"), "sensor_raw_properties_out", gain,
                   "sensor_raw_properties0_in");
    add_outport("sensor_raw_properties_out", gain, "sensor_raw_properties0_out");
    add_outport("sensor_raw_properties0_out", gain, "sensor_raw_properties0_out");
    expose_outputs(gain, {"quick_ctrl_out", "gain_mode_out"});

    const std::string params = inner("_superparams");
    add_block<ThermographydParams>(params, Pictor::BlockConfiguration());
    add_connection(params, "gain_mode_out", gain, "quarp_gain_mode_in");
    add_connection(params, "gain_threshold_out", gain, "quarp_gain_threshold_in");

    const std::string histogram =
        add_store_retrieve<Pictor::histogram_data>("_histogram_sr", fpga, "histogram_data_out");
    add_connection(histogram, "data_out", gain, "histogram_data_in");
    // The FPGA tells with 1 or 0 whether the video may switch gain; the pair
    // carries that integer as it is.
    const std::string video_mode =
        add_store_retrieve<Pictor::datatype_int32>("_videomode_sr", fpga, "video_mode_enable_out");
    add_connection(video_mode, "data_out", gain, "video_mode_enable_in");
}

void TmFrontEnd::expose_tm_fpga(const std::string& fpga) {
    expose_fpga(fpga);
    expose_inputs(fpga, {"QUARP_ExposureWindow", "QUARP_CustomExposureWindowBottom",
                         "QUARP_CustomExposureWindowLeft", "QUARP_CustomExposureWindowRight",
                         "QUARP_CustomExposureWindowTop"});
}

void TmFrontEnd::add_tm_control() {
    const std::string fpga = inner("_superfpga");
    const std::string sensor = inner("_supersensor");
    const std::string intt = inner("_superintt");
    add_outport("sensor_raw_properties_out", sensor, "sensor_raw_properties_out");
    add_outport("sensor_raw_properties0_out", sensor, "sensor_raw_properties_out");

    add_connection(intt, "sensor_integration_time_out", sensor, "sensor_integration_time_in");
    add_outport("sensor_integration_time", intt, "sensor_integration_time_out");
    add_outport("sensor_integration_time_out", intt, "sensor_integration_time_out");
    add_control_loop();
    add_inport("wanted_exposure_in", inner("_thermaltrigg"), "wanted_exposure_in");

    const std::string gof = inner("_supergof");
    add_block<ThermalAgcGofBlock>(gof, section("algogof_cfg"));
    add_connection(sensor, "sensor_max_gain_out", gof, "sensor_max_gain_in");
    add_connection(gof, "gof_out", fpga, "gof_in");
    add_outport("fpga_hist_min_out", gof, "hist_min_out");
    add_outport("fpga_hist_max_out", gof, "hist_max_out");
    add_inport("pt_move_in", gof, "faster_gof_in");
    add_inport("QUARP_AutomaticGainControl", gof, "agc_mode_in");
    add_inport("image_hist_ctrl", gof, "image_hist_ctrl");
    add_inport("fpga_register_state", gof, "pause_gof_in");
    add_connection(inner("_load_gain_sr"), "data_out", gof, "instant_gof_in");
    const std::string histogram =
        add_store_retrieve<Pictor::histogram_data>("_hist_sr", fpga, "histogram_out");
    add_connection(histogram, "data_out", gof, "histogram_in");
}

Tm301eSensor::Tm301eSensor(const std::string& name, const Pictor::BlockConfiguration& configuration)
    : TmFrontEnd(name, configuration, "Tm301eSensor") {
    const std::string fpga = inner("_superfpga");
    add_block<Tm301eFpgaBlock>(fpga, section("fpga_cfg"));
    expose_tm_fpga(fpga);
    if (!add_chosen_sensor() || !add_converters()) {
        return;
    }
    add_integration_time<ShutterIntegrationTimeX3Block>();
    add_tm_control();
}

Tm302eSensor::Tm302eSensor(const std::string& name, const Pictor::BlockConfiguration& configuration)
    : TmFrontEnd(name, configuration, "Tm302eSensor") {
    const std::string fpga = inner("_superfpga");
    add_block<Tm302eFpgaBlock>(fpga, section("fpga_cfg"));
    expose_tm_fpga(fpga);
    add_sensor<LynredPico640Gen2SensorBlock>();
    add_integration_time<ShutterIntegrationTimeBlock>();
    add_tm_control();
}
