#include "pictor/ports.h"

#include "pipeline_context.h"

namespace Pictor {

Port::Port(std::string name, Datatype datatype)
    : m_name(std::move(name)), m_datatype(std::move(datatype)) {}

InPortInternal::InPortInternal(std::string name, Datatype datatype, Flag flag)
    : Port(std::move(name), std::move(datatype)), m_flag(flag) {}

void InPortInternal::deliver(const PortValue& value) {
    PipelineContext* context = m_owner != nullptr ? m_owner->m_context.load() : nullptr;
    if (context != nullptr) {
        context->dispatcher().deliver(*this, value);
        return;
    }
    // Not in a pipeline yet: nothing runs concurrently.
    m_pending = value;
    m_has_pending = true;
}

OutPortInternal::OutPortInternal(std::string name, Datatype datatype)
    : Port(std::move(name), std::move(datatype)) {}

void OutPortInternal::send(PortValue value) {
    set_triggered();
    for (PortSink* sink : m_sinks) {
        sink->deliver(value);
    }
}

EventPort::EventPort(std::string name)
    : InPortInternal(std::move(name), datatype_of<event>(), TRIGGERING) {}

void EventPort::fire() {
    static const PortValue s_event = std::make_shared<const event>();
    deliver(s_event);
}

namespace detail {

void check_datatype(const Port& port, const char* expected) {
    if (port.get_datatype().name() != expected) {
        throw ConnectionError("port " + port.get_name() + " carries " + port.get_datatype().name() +
                              ", not " + expected);
    }
}

}  // namespace detail

}  // namespace Pictor
