#include <gtest/gtest.h>
#include <systemd/sd-bus.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "pictor/init_tools.h"
#include "pictor/pipeline.h"
#include "private_bus.h"

namespace Pictor {
namespace {

using camlet::testing::PrivateBus;

// Asks the bus for its id when it starts; the reply, on the bus's thread,
// wakes the block, which sends the id on "id_out".
class BusIdReader : public Block {
  public:
    BusIdReader() : Block("bus_id", {}), m_reply(make_eventport()) {
        m_id_out = add_outport<datatype_string>("id_out");
    }
    ~BusIdReader() override {
        if (m_slot != nullptr) {
            auto bus = init_tools().system_bus().access();
            sd_bus_slot_unref(m_slot);
        }
    }

    void start() override {
        auto bus = init_tools().system_bus().access();
        sd_bus_call_method_async(bus.get(), &m_slot, "org.freedesktop.DBus",
                                 "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId",
                                 &BusIdReader::on_reply, this, "");
    }
    void process() override {
        ++runs;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_id_out.send({m_id});
    }

    int runs = 0;  // The pipeline's thread only.

  private:
    static int on_reply(sd_bus_message* reply, void* self, sd_bus_error*) {
        auto* reader = static_cast<BusIdReader*>(self);
        const char* id = nullptr;
        if (sd_bus_message_read(reply, "s", &id) >= 0) {
            std::lock_guard<std::mutex> lock(reader->m_mutex);
            reader->m_id = id;
        }
        reader->m_reply->fire();
        return 0;
    }

    EventPort* m_reply;
    OutPort<datatype_string> m_id_out;
    sd_bus_slot* m_slot = nullptr;
    std::mutex m_mutex;
    std::string m_id;  // Under m_mutex.
};

TEST(InitToolsBus, AReplyOnTheBusThreadWakesTheBlockOnce) {
    PrivateBus daemon;
    Pipeline pipeline;
    BusIdReader& reader = pipeline.add_block<BusIdReader>();
    auto ids = pipeline.tap<datatype_string>("bus_id", "id_out");
    pipeline.start();

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ids->values().empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(pipeline.wait_until_idle(std::chrono::seconds(10)));
    pipeline.stop();
    ASSERT_EQ(ids->values().size(), 1u);
    EXPECT_EQ(ids->values().front().value.size(), 32u);
    EXPECT_EQ(reader.runs, 1);
}

}  // namespace
}  // namespace Pictor
