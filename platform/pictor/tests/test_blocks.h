#pragma once

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "pictor/block.h"

namespace Pictor::testing {

// Sends each int32 it receives on "in" plus one on "out", and counts its runs.
class Increment : public Block {
  public:
    Increment(const std::string& name, const BlockConfiguration& configuration)
        : Block(name, configuration),
          m_in(add_inport<datatype_int32>("in")),
          m_out(add_outport<datatype_int32>("out")) {}

    void process() override {
        ++runs;
        if (m_in.is_triggered()) {
            m_out.send({m_in.get().value + get_configuration().getInt("step", 1)});
        }
    }

    std::atomic<int> runs{0};

  private:
    InPort<datatype_int32> m_in;
    OutPort<datatype_int32> m_out;
};

// Throws on every run after sending what it received on "out".
class Faulty : public Block {
  public:
    Faulty(const std::string& name, const BlockConfiguration& configuration)
        : Block(name, configuration),
          m_in(add_inport<datatype_int32>("in")),
          m_out(add_outport<datatype_int32>("out")) {}

    void process() override {
        m_out.send(m_in.get());
        throw std::runtime_error("sensor unplugged");
    }

  private:
    InPort<datatype_int32> m_in;
    OutPort<datatype_int32> m_out;
};

}  // namespace Pictor::testing
