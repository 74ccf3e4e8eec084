#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "pictor/pipeline.h"

namespace Pictor {
namespace {

// Counts the runs its event port causes.
class Woken : public Block {
  public:
    Woken() : Block("woken", {}), m_event(make_eventport()) {}

    EventPort& event_port() { return *m_event; }
    void process() override {
        if (m_event->is_triggered()) {
            ++runs;
        }
    }

    int runs = 0;  // The pipeline's thread only; read after it is idle.

  private:
    EventPort* m_event;
};

TEST(PipelineThreads, FireFromAForeignThreadRunsTheBlockOnce) {
    Pipeline pipeline;
    Woken& block = pipeline.add_block<Woken>();
    pipeline.start();

    std::thread foreign([&] { block.event_port().fire(); });
    foreign.join();

    ASSERT_TRUE(pipeline.wait_until_idle(std::chrono::seconds(10)));
    pipeline.stop();
    EXPECT_EQ(block.runs, 1);
}

}  // namespace
}  // namespace Pictor
