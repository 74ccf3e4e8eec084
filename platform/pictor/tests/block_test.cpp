#include "pictor/sensor_block.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>

#include "pictor/pipeline.h"
#include "pictor/sensor_bus.h"
#include "temporary_root.h"

namespace {

class TestSensor : public SensorBlock {
  public:
    explicit TestSensor(Pictor::BlockConfiguration configuration = {})
        : SensorBlock("sensor", std::move(configuration), 2, 384, 288, 1, 1, 36) {}
};

TEST(SensorBlock, ModesAndTheRawPropertiesCarryTheLatestNoise) {
    Pictor::Pipeline pipeline;
    TestSensor& sensor = pipeline.add_block<TestSensor>();
    EXPECT_THROW(sensor.get_current_sensor_mode(), std::logic_error);
    sensor.add_sensor_mode({"full", 384, 288, 60.0f, 1000, 300});
    sensor.add_sensor_mode({"slow", 384, 288, 9.0f, 1000, 2000});
    EXPECT_EQ(sensor.get_current_sensor_mode().name, "full");
    sensor.select_sensor_mode("slow");
    EXPECT_EQ(sensor.get_current_sensor_mode().frame_timing, 2000u);
    EXPECT_THROW(sensor.select_sensor_mode("fast"), std::invalid_argument);

    auto exposures = pipeline.tap<Pictor::sensor_exposure>("sensor", "sensor_exposure_out");
    auto raw = pipeline.tap<Pictor::sensor_raw_properties>("sensor", "sensor_raw_properties_out");
    sensor.update_noise_props(1.5f, 2.5f, 3.5f);
    sensor.set_sensor_exposure_and_raw_properties_out({183.0f, 1.0f}, {1.0f, 0.0f, 65535});

    ASSERT_EQ(raw->values().size(), 1u);
    EXPECT_EQ(raw->values()[0].max_value, 65535);
    EXPECT_FLOAT_EQ(raw->values()[0].noise_shot, 2.5f);
    EXPECT_FLOAT_EQ(raw->values()[0].noise_fixed_pattern, 3.5f);
    ASSERT_EQ(exposures->values().size(), 1u);
    EXPECT_FLOAT_EQ(exposures->values()[0].exposure_time, 183.0f);
}

// A sensor with one field.
class OneFieldSensor : public Pictor::SensorFieldDevice {
  public:
    std::optional<uint32_t> read_field(const std::string& field) override {
        return field == "trim_a" ? std::optional<uint32_t>(m_value) : std::nullopt;
    }
    bool write_field(const std::string& field, uint32_t value) override {
        m_value = field == "trim_a" ? value : m_value;
        return field == "trim_a";
    }

  private:
    uint32_t m_value = 0;
};

TEST(SensorBlock, ReachesTheSensorFieldsAtItsBusAddressOnItsChannelsBus) {
    TestSensor sensor;
    TestSensor second({{"channel", 1}});
    EXPECT_EQ(second.get_channel(), 1);
    EXPECT_THROW(sensor.read_sensor_field("trim_a"), std::runtime_error);
    {
        Pictor::SensorBusRegistration bus(0, 36, std::make_shared<OneFieldSensor>());
        EXPECT_THROW(Pictor::SensorBusRegistration(0, 36, std::make_shared<OneFieldSensor>()),
                     std::logic_error);
        EXPECT_THROW(second.read_sensor_field("trim_a"), std::runtime_error);
        Pictor::SensorBusRegistration secondBus(1, 36, std::make_shared<OneFieldSensor>());
        sensor.write_sensor_field("trim_a", 575);
        second.write_sensor_field("trim_a", 187);
        EXPECT_EQ(sensor.read_sensor_field("trim_a"), 575u);
        EXPECT_EQ(second.read_sensor_field("trim_a"), 187u);
        EXPECT_THROW(sensor.read_sensor_field("window"), std::runtime_error);
        EXPECT_THROW(sensor.write_sensor_field("window", 1), std::runtime_error);
    }
    EXPECT_THROW(sensor.write_sensor_field("trim_a", 1), std::runtime_error);
}

TEST(Datatype, NamesFollowThePrefixSignatureAndName) {
    EXPECT_EQ(Pictor::Datatype("/prefix/well-known.a(ff)/sensor_exposure_array").signature(),
              "a(ff)");
    for (const char* name :
         {"/prefix/well-known.fi", "/prefix/well-known.x/thing", "/prefix/well-known.a(f/thing",
          "/prefix/other.f/thing", "/prefix/well-known.f/a/b", "/prefix/well-known.a()/thing"}) {
        EXPECT_THROW(Pictor::Datatype{name}, std::invalid_argument) << name;
    }
}

}  // namespace

namespace {

TEST(Block, PersistentStoreUnderTheRootAndDiagnosticValues) {
    camlet::testing::TemporaryRoot root;
    Pictor::Block block("fps_checker", {});
    const std::string path = block.pstore().get_path();
    EXPECT_EQ(path, root.path() + "/var/lib/pictor/pstore/fps_checker/");
    std::ofstream(path + "max_fps") << "8.700000\n";
    EXPECT_EQ(root.readFile("/var/lib/pictor/pstore/fps_checker/max_fps"), "8.700000\n");

    block.debug_data().set("thermal_sensor_temp", 30.5f);
    block.debug_data().set("thermal_sensor_itime", 183);
    EXPECT_EQ(block.debug_data().get("thermal_sensor_temp"), Pictor::DebugData::Value(30.5));
    EXPECT_EQ(block.debug_data().get("thermal_sensor_itime"),
              Pictor::DebugData::Value(int64_t{183}));
    EXPECT_FALSE(block.debug_data().get("thermal_sensor_gsk").has_value());
}

}  // namespace
