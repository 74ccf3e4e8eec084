#pragma once

#include "pictor/sensor_block.h"
#include "sensor_bringup.h"

#include <string>
#include <vector>

namespace thermal {

// What tells the sensor-only members apart.
struct LynredMember {
    int width;
    int height;
    const TrimFormula& trims;
    std::vector<int> icapPicofarads;  // accepted values; the code is the index
    int defaultIcap;
};

}  // namespace thermal

// A Lynred microbolometer without FPGA access: its FPGA block lives beside it
// in the sensor superblock. Brings the sensor's read-out up when the pipeline
// starts, sends its bias voltages to the DAC block, and takes integration
// times and bias changes while it runs.
class LynredSensorBlock : public SensorBlock {
  public:
    void start() override;
    void process() override;

  protected:
    LynredSensorBlock(const std::string& name, const Pictor::BlockConfiguration& configuration,
                      const thermal::LynredMember& member);

  private:
    void sendBias(const thermal::BiasVoltages& bias);
    int icapCode() const;

    const thermal::LynredMember& m_member;
    int m_channel;
    int m_maxValue;
    bool m_thermography;
    int m_icap;
    bool m_ready = false;

    Pictor::InPort<Pictor::datatype_int32> m_integration_time_in;
    Pictor::InPort<Pictor::sensor_bias_properties> m_bias_in;
    Pictor::OutPort<Pictor::datatype_float> m_max_gain_out;
    Pictor::OutPort<Pictor::datatype_int32> m_integration_cap_out;
    Pictor::OutPort<Pictor::datatype_float> m_gfid_out;
    Pictor::OutPort<Pictor::datatype_float> m_gsk_out;
    Pictor::OutPort<Pictor::datatype_float> m_vsk_out;
    Pictor::OutPort<Pictor::datatype_float> m_video_offset_out;
};

// "LynredPico384P": 384 × 288, integration capacitance 2, 4 or 6 pF.
class LynredPico384PSensorBlock : public LynredSensorBlock {
  public:
    LynredPico384PSensorBlock(const std::string& name,
                              const Pictor::BlockConfiguration& configuration);
};

// "LynredPico384S": 384 × 288, 1 to 6 pF.
class LynredPico384SSensorBlock : public LynredSensorBlock {
  public:
    LynredPico384SSensorBlock(const std::string& name,
                              const Pictor::BlockConfiguration& configuration);
};

// "LynredPico640Gen2": 640 × 480, 1 to 6 pF.
class LynredPico640Gen2SensorBlock : public LynredSensorBlock {
  public:
    LynredPico640Gen2SensorBlock(const std::string& name,
                                 const Pictor::BlockConfiguration& configuration);
};
