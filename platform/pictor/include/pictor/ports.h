#pragma once

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "pictor/datatype.h"

namespace Pictor {

class Block;
class Dispatcher;

// One value sent on an output port, shared read-only by every receiver.
using PortValue = std::shared_ptr<const void>;

// A connection refused: an unknown block or port, or unequal datatypes. The
// message names the ports.
class ConnectionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What an output port delivers to: the input port of a block, or a tap.
class PortSink {
  public:
    virtual ~PortSink() = default;
    // Called on the sending thread, which may be any thread.
    virtual void deliver(const PortValue& value) = 0;
};

// A named, typed end of a connection.
class Port {
  public:
    Port(std::string name, Datatype datatype);
    virtual ~Port() = default;
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    const std::string& get_name() const { return m_name; }
    const Datatype& get_datatype() const { return m_datatype; }

    // Input ports: new data has arrived since the last reset. Output ports:
    // something was sent since the last reset.
    bool is_triggered() const { return m_triggered.load(std::memory_order_relaxed); }
    void reset() { m_triggered.store(false, std::memory_order_relaxed); }

  protected:
    void set_triggered() { m_triggered.store(true, std::memory_order_relaxed); }

  private:
    std::string m_name;
    Datatype m_datatype;
    std::atomic<bool> m_triggered{false};
};

// The input side. Data that arrives is held until the owning block's next run
// and shown to it then; the pipeline resets every input after the run.
// Belongs to its block's thread, except deliver().
class InPortInternal : public Port, public PortSink {
  public:
    enum Flag {
        // New data queues the block for a run.
        TRIGGERING,
        // New data waits for the block's next run without causing one.
        PASSIVE,
    };

    InPortInternal(std::string name, Datatype datatype, Flag flag = TRIGGERING);

    Flag get_flag() const { return m_flag; }
    // The latest value shown to the block; null before the first.
    const PortValue& value() const { return m_value; }

    void deliver(const PortValue& value) override;

  private:
    friend class Block;
    friend class Dispatcher;

    Flag m_flag;
    Block* m_owner = nullptr;
    // Under the dispatcher's lock.
    PortValue m_pending;
    bool m_has_pending = false;
    // The block's thread only.
    PortValue m_value;
};

// The output side. Connections are made before the pipeline starts; sending
// is allowed from any thread.
class OutPortInternal : public Port {
  public:
    OutPortInternal(std::string name, Datatype datatype);

    void send(PortValue value);
    void connect(PortSink& sink) { m_sinks.push_back(&sink); }

  private:
    std::vector<PortSink*> m_sinks;
};

// An input that wakes its block when fire() is called, from any thread (a bus
// callback, a worker thread). Several fires before the run give one run.
class EventPort : public InPortInternal {
  public:
    explicit EventPort(std::string name);
    void fire();
};

namespace detail {
void check_datatype(const Port& port, const char* expected);
}

// Typed view of an input port; the block owns the port itself.
template <typename T>
class InPort {
  public:
    InPort() = default;
    // Throws ConnectionError when the port carries another datatype.
    explicit InPort(InPortInternal* port) : m_port(port) {
        detail::check_datatype(*port, DatatypeOf<T>::name);
    }

    bool is_triggered() const { return m_port->is_triggered(); }
    void reset() { m_port->reset(); }
    bool has_value() const { return m_port->value() != nullptr; }
    // The latest value; throws std::logic_error before the first.
    const T& get() const {
        if (!has_value()) {
            throw std::logic_error("input port " + m_port->get_name() + " has no value yet");
        }
        return *static_cast<const T*>(m_port->value().get());
    }
    InPortInternal* internal() const { return m_port; }

  private:
    InPortInternal* m_port = nullptr;
};

// Typed view of an output port.
template <typename T>
class OutPort {
  public:
    OutPort() = default;
    explicit OutPort(OutPortInternal* port) : m_port(port) {
        detail::check_datatype(*port, DatatypeOf<T>::name);
    }

    void send(T value) { m_port->send(std::make_shared<const T>(std::move(value))); }
    bool is_triggered() const { return m_port->is_triggered(); }
    void reset() { m_port->reset(); }
    OutPortInternal* internal() const { return m_port; }

  private:
    OutPortInternal* m_port = nullptr;
};

}  // namespace Pictor
