#include "utility_blocks.h"

#include <atomic>
#include <stdexcept>

#include "pictor/log.h"

namespace {

// Ids of store/retrieve pairs that were given none: negative, so that they
// never meet an id from a configuration.
int generated_block_id() {
    static std::atomic<int> last{0};
    return --last;
}

}  // namespace

SensorWpIdBlock::SensorWpIdBlock(const std::string& name,
                                 const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration),
      m_trigger_in(add_inport<Pictor::datatype_bool>("trigger_in")),
      m_store_out(add_outport<Pictor::workpackage_id>("sensor_workpackage_id_store")),
      m_retrieve_out(add_outport<Pictor::workpackage_id>("sensor_workpackage_id_retrieve")) {}

void SensorWpIdBlock::process() {
    if (!m_trigger_in.is_triggered()) {
        return;
    }
    m_retrieve_out.send({m_current});
    m_current = (m_current + 1) % kWorkPackageIds;
    m_store_out.send({m_current});
}

template <typename T>
DataStore<T>::DataStore(const std::string& name, const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration),
      m_workpackage_id(add_inport<Pictor::workpackage_id>("workpackage_id")),
      m_data_in(add_inport<T>("data_in")),
      m_block_id(configuration.getInt("block_id")),
      m_buffer(std::make_shared<WorkPackageBuffer<T>>(kWorkPackageIds)) {}

template <typename T>
std::shared_ptr<const WorkPackageBuffer<T>> DataStore<T>::attach_consumer() {
    if (m_has_consumer) {
        return nullptr;
    }
    m_has_consumer = true;
    return m_buffer;
}

template <typename T>
void DataStore<T>::process() {
    // The identifier first: data that comes with a new identifier belongs to
    // it. What was kept under it belongs to the frame that last had it, which
    // is gone: a retrieve must not hand that out again.
    if (m_workpackage_id.is_triggered()) {
        m_current_id = static_cast<unsigned>(m_workpackage_id.get().value);
        m_buffer->erase(m_current_id);
    }
    if (m_data_in.is_triggered() && !m_buffer->insert(m_current_id, m_data_in.get())) {
        throw std::runtime_error("CircularBuffer: already has key " + std::to_string(m_current_id));
    }
}

template <typename T>
DataRetrieve<T>::DataRetrieve(const std::string& name,
                              const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration),
      m_workpackage_id(add_inport<Pictor::workpackage_id>("workpackage_id")),
      m_data_out(add_outport<T>("data_out")),
      m_block_id(configuration.getInt("block_id")) {}

template <typename T>
void DataRetrieve<T>::setup() {
    for (Pictor::Block* block : blocks_in_pipeline()) {
        auto* store = dynamic_cast<DataStore<T>*>(block);
        if (store == nullptr || store->block_id() != m_block_id) {
            continue;
        }
        m_buffer = store->attach_consumer();
        if (!m_buffer) {
            throw std::runtime_error(
                "No support for multiple database consumers for a single producer");
        }
        return;
    }
    throw std::runtime_error("No database producer found for block_id=" +
                             std::to_string(m_block_id));
}

template <typename T>
void DataRetrieve<T>::process() {
    if (!m_workpackage_id.is_triggered()) {
        return;
    }
    const auto id = static_cast<unsigned>(m_workpackage_id.get().value);
    Pictor::ilog(Pictor::LogLevel::Debug, "Asked for wpid %u", id);
    if (!m_buffer) {
        return;
    }
    if (const T* value = m_buffer->find(id)) {
        m_data_out.send(*value);
    }
}

template <typename T>
DataStoreRetrieve<T>::DataStoreRetrieve(const std::string& name,
                                        const Pictor::BlockConfiguration& configuration)
    : Pictor::Superblock(name, configuration) {
    const Pictor::BlockConfiguration pair{
        {"block_id", configuration.getInt("block_id", generated_block_id())}};
    const std::string store = name + "_store";
    const std::string retrieve = name + "_retrieve";
    add_block<DataStore<T>>(store, pair);
    add_block<DataRetrieve<T>>(retrieve, pair);
    add_inport("workpackage_id_store", store, "workpackage_id");
    add_inport("workpackage_id_retrieve", retrieve, "workpackage_id");
    add_inport("data_in", store, "data_in");
    add_outport("data_out", retrieve, "data_out");
}

template class DataStore<Pictor::datatype_int32>;
template class DataStore<Pictor::datatype_bool>;
template class DataStore<Pictor::histogram_data>;
template class DataRetrieve<Pictor::datatype_int32>;
template class DataRetrieve<Pictor::datatype_bool>;
template class DataRetrieve<Pictor::histogram_data>;
template class DataStoreRetrieve<Pictor::datatype_int32>;
template class DataStoreRetrieve<Pictor::datatype_bool>;
template class DataStoreRetrieve<Pictor::histogram_data>;

ThermalTriggBlock::ThermalTriggBlock(const std::string& name,
                                     const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration),
      m_sensor_exposure_in(add_inport<Pictor::sensor_exposure_array>("sensor_exposure_in")),
      m_wanted_exposure_in(add_inport<Pictor::sensor_exposure>("wanted_exposure_in")),
      m_trigger_out(add_outport<Pictor::datatype_bool>("trigger_out")) {}

void ThermalTriggBlock::process() {
    m_trigger_out.send({true});
}

DebugHelperBlock::DebugHelperBlock(const std::string& name,
                                   const Pictor::BlockConfiguration& configuration)
    : Pictor::Block(name, configuration),
      m_fpga_capture_mode(add_inport<Pictor::capture_mode_properties>("fpga_capture_mode")),
      m_sensor_capture_raw(add_inport<Pictor::datatype_int32>("sensor_capture_raw")),
      m_set_cal_int_time_out(add_outport<Pictor::datatype_bool>("set_cal_int_time_out")) {}

void DebugHelperBlock::process() {
    if (m_fpga_capture_mode.is_triggered()) {
        switch (m_fpga_capture_mode.get().mode) {
            case 1:
                m_set_cal_int_time_out.send({true});
                break;
            case 2:
            case 3:
                m_set_cal_int_time_out.send({false});
                break;
            default:
                throw std::runtime_error("Undefined capture mode option!");
        }
    }
    if (m_sensor_capture_raw.is_triggered()) {
        m_set_cal_int_time_out.send({true});
    }
}
