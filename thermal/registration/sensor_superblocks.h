#pragma once

#include <initializer_list>
#include <string>

#include "pictor/superblock.h"

// The shared assembly of the thermal front ends: an FPGA block, a sensor
// block, converter chips, the integration-time law, the frame trigger and the
// store/retrieve pairs that hand each frame's values on one frame later.
// Inner blocks are named after the superblock (N + "_superfpga", ...), so that
// several front ends can live in one pipeline.
//
// Configuration subtrees: "super_cfg" (block choice), "sensor_cfg",
// "fpga_cfg", "algogof_cfg", "shutter_int_t_cfg", "gain_mode_cfg",
// "dac80504_cfg" and "adc_cfg", each handed to the inner block it names; the
// top-level "channel" is copied into each of them. A wrong block choice is
// logged as an error and ends the construction there: the blocks added so far
// stay.
class ThermalFrontEnd : public Pictor::Superblock {
  protected:
    ThermalFrontEnd(const std::string& name, const Pictor::BlockConfiguration& configuration,
                    std::string owner);

    std::string inner(const char* suffix) const { return get_name() + suffix; }
    // The subtree for one inner block, with the superblock's "channel".
    Pictor::BlockConfiguration section(const char* key) const;

    void expose_inputs(const std::string& block, std::initializer_list<const char*> ports);
    void expose_outputs(const std::string& block, std::initializer_list<const char*> ports);

    // The FPGA ports every front end shows outside.
    void expose_fpga(const std::string& fpga);
    // The split sensor block chosen by "super_cfg.sensor_block"; false (logged)
    // when there is none or it is unknown.
    bool add_chosen_sensor();
    // Builds sensor N + "_supersensor" of type T and shows its ports outside.
    template <typename T>
    void add_sensor();
    // The ADC and DAC chosen in "super_cfg"; false (logged) for an unknown one.
    bool add_converters();
    // The integration-time block N + "_superintt" of type T with its outer
    // inputs and its shutter requests into the FPGA.
    template <typename T>
    void add_integration_time();
    // A store/retrieve pair N + suffix carrying the source output; returns its name.
    template <typename T>
    std::string add_store_retrieve(const char* suffix, const std::string& source, const char* port);
    // The FPA temperature into the integration-time block, the calibration
    // integration-time switch, the gain-table loading pause and the frame
    // trigger of the FPGA.
    void add_control_loop();

    // Logs "<owner>: <message>" at error level.
    void report(const std::string& message) const;

    // Where the store/retrieve pairs take their work-package identifiers:
    // from this inner block's outputs, or (none set) from the outer inputs.
    void set_workpackage_source(std::string block) { m_workpackage_source = std::move(block); }

  private:
    void wire_workpackage_ids(const std::string& store_retrieve);

    std::string m_owner;
    std::string m_workpackage_source;
};

// "J4Sensor": the J4 FPGA with a split sensor, the gain-mode switching and the
// thermography service's gain requests. Work-package identifiers come from
// its own N + "_superwpid".
class J4Sensor : public ThermalFrontEnd {
  public:
    J4Sensor(const std::string& name, const Pictor::BlockConfiguration& configuration);

  private:
    void add_gain_mode();
};

// The Tm30xe front ends: the FPGA takes the automatic gain control result and
// the exposure window; work-package identifiers come from the outer inputs
// "workpackage_id_store" and "workpackage_id_retrieve".
class TmFrontEnd : public ThermalFrontEnd {
  protected:
    using ThermalFrontEnd::ThermalFrontEnd;

    void expose_tm_fpga(const std::string& fpga);
    // Sensor outputs that bypass the gain-mode block, the integration time
    // straight into the sensor, the AGC and the rest of the control loop.
    void add_tm_control();
};

// "Tm301eSensor": the Tm301e FPGA with a split sensor, ADC and DAC.
class Tm301eSensor : public TmFrontEnd {
  public:
    Tm301eSensor(const std::string& name, const Pictor::BlockConfiguration& configuration);
};

// "Tm302eSensor": the Tm302e FPGA with the Pico640 Gen2 sensor and the linear
// integration-time law; no converter chips. The FPGA block has no inputs for
// the sensor's bias voltages, so they stay unconnected.
class Tm302eSensor : public TmFrontEnd {
  public:
    Tm302eSensor(const std::string& name, const Pictor::BlockConfiguration& configuration);
};
