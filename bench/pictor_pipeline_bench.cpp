// One frame through a chain of 15 trivial blocks of the block-pipeline
// framework: the cost of delivering, queueing and running, without any work in
// the blocks themselves.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "pictor/pipeline.h"

namespace {

constexpr int kChainLength = 15;

// Hands its input on unchanged.
class Forward : public Pictor::Block {
  public:
    explicit Forward(const std::string& name)
        : Block(name, {}),
          m_in(add_inport<Pictor::datatype_int32>("in")),
          m_out(add_outport<Pictor::datatype_int32>("out")) {}

    void process() override { m_out.send(m_in.get()); }

  private:
    Pictor::InPort<Pictor::datatype_int32> m_in;
    Pictor::OutPort<Pictor::datatype_int32> m_out;
};

void build_chain(Pictor::Pipeline& pipeline) {
    for (int i = 0; i < kChainLength; ++i) {
        pipeline.add_block<Forward>("block" + std::to_string(i));
        if (i > 0) {
            pipeline.connect("block" + std::to_string(i - 1), "out", "block" + std::to_string(i),
                             "in");
        }
    }
}

// Dispatched on the calling thread.
void BM_ChainOf15_CallerThread(benchmark::State& state) {
    Pictor::Pipeline pipeline;
    build_chain(pipeline);
    pipeline.start(Pictor::Pipeline::Dispatch::Manual);
    int32_t frame = 0;
    for (auto _ : state) {
        pipeline.push<Pictor::datatype_int32>("block0", "in", {++frame});
        benchmark::DoNotOptimize(pipeline.run_until_idle());
    }
}
BENCHMARK(BM_ChainOf15_CallerThread);

// Dispatched on the pipeline's own thread, waiting until the frame has gone through.
void BM_ChainOf15_OwnThread(benchmark::State& state) {
    Pictor::Pipeline pipeline;
    build_chain(pipeline);
    pipeline.start();
    int32_t frame = 0;
    for (auto _ : state) {
        pipeline.push<Pictor::datatype_int32>("block0", "in", {++frame});
        if (!pipeline.wait_until_idle(std::chrono::seconds(10))) {
            state.SkipWithError("the pipeline did not become idle");
            break;
        }
    }
}
BENCHMARK(BM_ChainOf15_OwnThread)->UseRealTime();

}  // namespace
