#include "pictor/pipeline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "log_capture.h"
#include "pictor/superblock.h"
#include "test_blocks.h"

namespace Pictor {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::Increment;

// Two increments behind one outer input; the first one's output is exposed twice.
class IncrementPair : public Superblock {
  public:
    IncrementPair(const std::string& name, const BlockConfiguration& configuration)
        : Superblock(name, configuration) {
        add_block<Increment>(name + "_one", BlockConfiguration{{"step", 1}});
        add_block<Increment>(name + "_ten", BlockConfiguration{{"step", 10}});
        add_inport("value_in", name + "_one", "in");
        add_inport("value_in", name + "_ten", "in");
        add_outport("one_out", name + "_one", "out");
        add_outport("one_again_out", name + "_one", "out");
        add_outport("ten_out", name + "_ten", "out");
    }
};

// Records, per run, which of its two inputs were triggered and their values.
class Recorder : public Block {
  public:
    Recorder(const std::string& name, std::vector<std::string>& journal)
        : Block(name, {}),
          m_journal(journal),
          m_a(add_inport<datatype_int32>("a")),
          m_b(add_inport<datatype_int32>("b", InPortInternal::PASSIVE)) {}

    void process() override {
        std::string entry = get_name() + ":";
        if (m_a.is_triggered()) {
            entry += " a=" + std::to_string(m_a.get().value);
        }
        if (m_b.is_triggered()) {
            entry += " b=" + std::to_string(m_b.get().value);
        }
        m_journal.push_back(entry);
    }

  private:
    std::vector<std::string>& m_journal;
    InPort<datatype_int32> m_a;
    InPort<datatype_int32> m_b;
};

std::vector<int32_t> ints(const Tap<datatype_int32>& tap) {
    std::vector<int32_t> values;
    for (const datatype_int32& value : tap.values()) {
        values.push_back(value.value);
    }
    return values;
}

TEST(Superblock, OuterInputFeedsEveryBoundPortAndAnOutputHasTwoNames) {
    Pipeline pipeline;
    pipeline.add_block<IncrementPair>("cam0", BlockConfiguration{});
    pipeline.add_block<IncrementPair>("cam1", BlockConfiguration{});
    pipeline.connect("cam0", "ten_out", "cam1", "value_in");
    auto one = pipeline.tap<datatype_int32>("cam0", "one_out");
    auto one_again = pipeline.tap<datatype_int32>("cam0", "one_again_out");
    auto downstream = pipeline.tap<datatype_int32>("cam1", "ten_out");
    pipeline.start(Pipeline::Dispatch::Manual);

    pipeline.push<datatype_int32>("cam0", "value_in", {5});
    pipeline.run_until_idle();

    EXPECT_THAT(ints(*one), ElementsAre(6));
    EXPECT_THAT(ints(*one_again), ElementsAre(6));
    EXPECT_THAT(ints(*downstream), ElementsAre(25));
}

TEST(Superblock, RefusesMismatchedDatatypesAndUnknownPortsNamingThem) {
    class FloatSource : public Block {
      public:
        FloatSource() : Block("source", {}) { add_outport<datatype_float>("level_out"); }
    };
    Pipeline pipeline;
    pipeline.add_block<FloatSource>();
    pipeline.add_block<IncrementPair>("cam0", BlockConfiguration{});
    try {
        pipeline.connect("source", "level_out", "cam0", "value_in");
        FAIL() << "connected";
    } catch (const ConnectionError& error) {
        EXPECT_THAT(error.what(),
                    HasSubstr("source.level_out (/prefix/well-known.f/datatype_float)"));
        EXPECT_THAT(error.what(), HasSubstr("cam0.value_in (/prefix/well-known.i/datatype_int32)"));
    }
    EXPECT_THROW(pipeline.connect("source", "level", "cam0", "value_in"), ConnectionError);
    EXPECT_THROW(pipeline.connect("source", "level_out", "cam9", "value_in"), ConnectionError);

    Superblock mixed("mixed", {});
    mixed.add_block<FloatSource>();
    mixed.add_block<Increment>("counter", BlockConfiguration{});
    mixed.add_inport("value_in", "counter", "in");
    EXPECT_THROW(mixed.add_connection("source", "level_out", "counter", "in"), ConnectionError);
    EXPECT_THROW(mixed.add_outport("level_out", "source", "missing_out"), ConnectionError);
    mixed.add_outport("level_out", "source", "level_out");
    EXPECT_THROW(mixed.add_outport("level_out", "counter", "out"), ConnectionError);
}

TEST(Pipeline, RunsQueuedBlocksInOrderOnceWithEverythingThatArrived) {
    std::vector<std::string> journal;
    Pipeline pipeline;
    pipeline.add_block<Recorder>("first", journal);
    pipeline.add_block<Recorder>("second", journal);
    pipeline.start(Pipeline::Dispatch::Manual);

    pipeline.push<datatype_int32>("second", "a", {1});
    pipeline.push<datatype_int32>("first", "b", {2});  // passive: no run of its own
    pipeline.push<datatype_int32>("first", "a", {3});
    pipeline.push<datatype_int32>("second", "a", {4});
    EXPECT_EQ(pipeline.run_until_idle(), 2u);
    pipeline.push<datatype_int32>("first", "a", {5});
    pipeline.run_until_idle();

    EXPECT_THAT(journal, ElementsAre("second: a=4", "first: a=3 b=2", "first: a=5"));
}

TEST(Pipeline, ABlockThatThrowsIsLoggedAndTheOthersRunOn) {
    testing::LogCapture log;
    Pipeline pipeline;
    pipeline.add_block<testing::Faulty>("faulty", BlockConfiguration{});
    auto& after = pipeline.add_block<Increment>("after", BlockConfiguration{});
    auto& beside = pipeline.add_block<Increment>("beside", BlockConfiguration{});
    pipeline.connect("faulty", "out", "after", "in");
    pipeline.start(Pipeline::Dispatch::Manual);

    for (int32_t value : {1, 2}) {
        pipeline.push<datatype_int32>("faulty", "in", {value});
        pipeline.push<datatype_int32>("beside", "in", {value});
        pipeline.run_until_idle();
    }

    EXPECT_EQ(after.runs, 2);
    EXPECT_EQ(beside.runs, 2);
    EXPECT_THAT(log.messages(),
                ElementsAre("error: faulty: sensor unplugged", "error: faulty: sensor unplugged"));
}

TEST(Pipeline, BuildsFromJsonWithRegisteredTypesAndReconfigures) {
    Registry registry;
    registry.register_block<Increment>("Increment");
    registry.register_block<IncrementPair>("IncrementPair");
    auto pipeline = Pipeline::from_json(R"({
        "blocks": [{"name": "first", "type": "Increment", "config": {"step": 2}},
                   {"name": "pair", "type": "IncrementPair"}],
        "connections": [{"from": "first.out", "to": "pair.value_in"}]})",
                                        registry);
    auto out = pipeline->tap<datatype_int32>("pair", "ten_out");
    pipeline->start(Pipeline::Dispatch::Manual);
    pipeline->push<datatype_int32>("first", "in", {1});
    pipeline->run_until_idle();
    pipeline->reconfigure("first", BlockConfiguration{{"step", 100}});
    pipeline->push<datatype_int32>("first", "in", {1});
    pipeline->run_until_idle();
    EXPECT_THAT(ints(*out), ElementsAre(13, 111));

    EXPECT_THROW(Pipeline::from_json(R"({"blocks": [{"name": "x", "type": "Nope"}]})", registry),
                 std::invalid_argument);
    EXPECT_THROW(Pipeline::from_json(R"({"blocks": [{"name": "first", "type": "Increment"}],
        "connections": [{"from": "first", "to": "first.in"}]})",
                                     registry),
                 ConfigurationError);
    EXPECT_THROW(registry.register_block<Increment>("Increment"), std::invalid_argument);
}

}  // namespace
}  // namespace Pictor
