#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "events/state_event_producer_i.h"

namespace guardtest {

// An event producer that writes down what a guard's event handler sends:
// "start@<µs>", "end@<µs>", or "end" for an end without a time.
class RecordingProducer : public StateEventProducerI {
  public:
    StateEventProducerHandle registerEvent(int camera, const std::string& /*profileName*/,
                                           const std::string& eventName,
                                           const std::string& niceName) override {
        return StateEventProducerHandle{niceName + "_" + eventName, camera};
    }
    void unregisterEvent(const StateEventProducerHandle& /*handle*/) override {}
    void sendStartEvent(const StateEventProducerHandle& /*handle*/, const int64_t& time) override {
        sent.push_back(at("start", time));
    }
    void sendEndEvent(const StateEventProducerHandle& /*handle*/, const int64_t& time) override {
        sent.push_back(at("end", time));
    }
    void sendEndEvent(const StateEventProducerHandle& /*handle*/) override {
        sent.push_back("end");
    }

    static std::string at(const std::string& what, int64_t time) {
        return what + "@" + std::to_string(time);
    }

    std::vector<std::string> sent;
};

}  // namespace guardtest
