#pragma once

#include <memory>
#include <string>

#include "circular_buffer.h"
#include "pictor/block.h"
#include "pictor/superblock.h"

// Values that belong to a frame are kept under the frame's work-package
// identifier until the frame comes out of the pipeline's latency. The
// identifiers cycle through 0 to 3.
constexpr int kWorkPackageIds = 4;

// "SensorWpId": hands out the work-package identifiers. On each "trigger_in"
// it sends the current identifier on "sensor_workpackage_id_retrieve", moves
// on to the next one and sends that on "sensor_workpackage_id_store": values
// stored for a frame are read back one trigger later.
class SensorWpIdBlock : public Pictor::Block {
  public:
    SensorWpIdBlock(const std::string& name, const Pictor::BlockConfiguration& configuration);

    void process() override;

  private:
    Pictor::InPort<Pictor::datatype_bool> m_trigger_in;
    Pictor::OutPort<Pictor::workpackage_id> m_store_out;
    Pictor::OutPort<Pictor::workpackage_id> m_retrieve_out;
    int32_t m_current = 0;
};

// Where a store keeps its values for its retrieve: both run on the
// pipeline's thread, one at a time.
template <typename T>
using WorkPackageBuffer = CircularBuffer<unsigned, T>;

// Keeps each value of "data_in" under the last identifier of "workpackage_id"
// for the retrieve block with the same "block_id" (required key). A value for
// an identifier that is still held replaces it and is reported as
// "CircularBuffer: already has key " + identifier.
template <typename T>
class DataStore : public Pictor::Block {
  public:
    DataStore(const std::string& name, const Pictor::BlockConfiguration& configuration);

    void process() override;

    int block_id() const { return m_block_id; }
    // The buffer for the one consumer; null when it has one already.
    std::shared_ptr<const WorkPackageBuffer<T>> attach_consumer();

  private:
    Pictor::InPort<Pictor::workpackage_id> m_workpackage_id;
    Pictor::InPort<T> m_data_in;
    int m_block_id;
    unsigned m_current_id = 0;
    std::shared_ptr<WorkPackageBuffer<T>> m_buffer;
    bool m_has_consumer = false;
};

// Sends on "data_out" the value its store holds for each identifier arriving
// on "workpackage_id"; nothing when there is none. It finds its store at set-up
// by the same "block_id".
template <typename T>
class DataRetrieve : public Pictor::Block {
  public:
    DataRetrieve(const std::string& name, const Pictor::BlockConfiguration& configuration);

    void setup() override;
    void process() override;

  private:
    Pictor::InPort<Pictor::workpackage_id> m_workpackage_id;
    Pictor::OutPort<T> m_data_out;
    int m_block_id;
    std::shared_ptr<const WorkPackageBuffer<T>> m_buffer;
};

// A store N + "_store" and its retrieve N + "_retrieve" with one "block_id"
// (from the configuration, or one of their own). Ports: in
// "workpackage_id_store", "workpackage_id_retrieve" and "data_in"; out "data_out".
template <typename T>
class DataStoreRetrieve : public Pictor::Superblock {
  public:
    DataStoreRetrieve(const std::string& name, const Pictor::BlockConfiguration& configuration);
};

// "ThermalTrigg": every sensor exposure ("sensor_exposure_in", and the wanted
// exposure on "wanted_exposure_in") becomes a frame trigger on "trigger_out".
class ThermalTriggBlock : public Pictor::Block {
  public:
    ThermalTriggBlock(const std::string& name, const Pictor::BlockConfiguration& configuration);

    void process() override;

  private:
    Pictor::InPort<Pictor::sensor_exposure_array> m_sensor_exposure_in;
    Pictor::InPort<Pictor::sensor_exposure> m_wanted_exposure_in;
    Pictor::OutPort<Pictor::datatype_bool> m_trigger_out;
};

// "DebugHelper": turns the FPGA capture mode and raw captures into the switch
// of the calibration integration time ("set_cal_int_time_out"): capture mode
// 1 and any raw capture switch it on, modes 2 and 3 off.
class DebugHelperBlock : public Pictor::Block {
  public:
    DebugHelperBlock(const std::string& name, const Pictor::BlockConfiguration& configuration);

    void process() override;

  private:
    Pictor::InPort<Pictor::capture_mode_properties> m_fpga_capture_mode;
    Pictor::InPort<Pictor::datatype_int32> m_sensor_capture_raw;
    Pictor::OutPort<Pictor::datatype_bool> m_set_cal_int_time_out;
};
