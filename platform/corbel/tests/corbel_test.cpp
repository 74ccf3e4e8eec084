#include "corbel/api_registry.h"
#include "corbel/enum_type.h"
#include "corbel/interface.h"
#include "program_bus.h"
#include "signal_subscription.h"

#include <gtest/gtest.h>

#include <glib.h>
#include <systemd/sd-bus.h>

#include <memory>
#include <string>
#include <vector>

namespace corbel {
namespace {

using camlet::testing::ProgramBus;

// One private bus for the whole program: the global helper connects once.
const auto* const kProgramBus = ::testing::AddGlobalTestEnvironment(new ProgramBus);

// A client of the bus that records the signals sent from one object path.
class SignalWatcher {
  public:
    explicit SignalWatcher(const std::string& path)
        : m_subscription(ProgramBus::get().address(), path,
                         [this](sd_bus_message* message) { record(message); }) {}

    // Every signal sent before a round trip to the service has arrived after it.
    void sync(const std::string& service, const std::string& path) {
        m_subscription.sync(service, path);
    }

    int32_t readInt(const std::string& service, const std::string& path, const char* interface,
                    const char* property) {
        int32_t value = 0;
        sd_bus_get_property_trivial(m_subscription.bus(), service.c_str(), path.c_str(), interface,
                                    property, nullptr, 'i', &value);
        return value;
    }

    // Member names of the signals received; for PropertiesChanged, the changed
    // property names follow in brackets.
    const std::vector<std::string>& received() const { return m_received; }

  private:
    void record(sd_bus_message* message) {
        std::string entry = sd_bus_message_get_member(message);
        if (entry == "PropertiesChanged") {
            const char* interface = nullptr;
            sd_bus_message_read(message, "s", &interface);
            sd_bus_message_enter_container(message, 'a', "{sv}");
            entry += "[";
            while (sd_bus_message_enter_container(message, 'e', "sv") > 0) {
                const char* name = nullptr;
                sd_bus_message_read(message, "s", &name);
                entry += std::string(name) + ";";
                sd_bus_message_skip(message, "v");
                sd_bus_message_exit_container(message);
            }
            entry += "]";
        } else if (entry == "VideoTypeChanged") {
            int32_t value = 0;
            sd_bus_message_read(message, "i", &value);
            entry += "(" + std::to_string(value) + ")";
        }
        m_received.push_back(entry);
    }

    std::vector<std::string> m_received;
    camlet::testing::SignalSubscription m_subscription;
};

const EnumType kVideoType("ThermalSensor.VideoType",
                          {{"OnePoint", 0}, {"TwoPoint", 1}, {"Radiance", 2}});

// The interface a thermal sensor publishes.
struct SensorInterface {
    std::shared_ptr<Interface> interface = std::make_shared<Interface>("com.zelk.ThermalSensor");
    Property<double> maxFps = interface->add_property<double>("MaxFps", 9.0, {{0.0, 120.0}});
    Property<int32_t> videoType =
        interface->add_property<int32_t>("VideoType", 0, kVideoType.ranges());
    Property<int32_t> sensorTemperature =
        interface->add_property<int32_t>("SensorTemperature", 20000, {{-60000, 200000}});
    Property<int32_t> cameraTemperature =
        interface->add_property<int32_t>("CameraTemperature", 20000, {{-60000, 200000}});
    Signal<int32_t> videoTypeChanged = interface->add_signal<int32_t>("VideoTypeChanged");
};

std::string errorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

TEST(CorbelValuesTest, PathsAndEnumsAreChecked) {
    const ObjectPath root("/com/zelk");
    EXPECT_EQ((root / "ThermalSensor" / "sensor_1").str(), "/com/zelk/ThermalSensor/sensor_1");
    EXPECT_EQ((ObjectPath("/") / "a").str(), "/a");
    for (const char* bad : {"", "com/zelk", "/com/", "/com//zelk", "/com/ze-lk"}) {
        EXPECT_EQ(errorText([&] { ObjectPath{bad}; }), "String is not a valid ObjectPath") << bad;
    }
    EXPECT_EQ(errorText([&] { (void)(root / "thermal sensor"); }),
              "String is not a valid ObjectPath");
    EXPECT_EQ(errorText([&] { (void)(root / ""); }), "String is not a valid ObjectPath");

    EXPECT_EQ(kVideoType.value_of("Radiance"), 2);
    EXPECT_EQ(kVideoType.name_of(1), "TwoPoint");
    EXPECT_EQ(errorText([] { kVideoType.name_of(3); }),
              "Enum ThermalSensor.VideoType: Invalid value:3");
    EXPECT_EQ(errorText([] { kVideoType.value_of("Planck"); }),
              "Enum ThermalSensor.VideoType: Invalid value:Planck");
    EXPECT_EQ(
        errorText([] {
            Interface("com.zelk.Test").add_property<int32_t>("VideoType", 7, kVideoType.ranges());
        }),
        "Property 'VideoType': Default value out of range");
}

class CorbelBusTest : public ::testing::Test {
  protected:
    CorbelHelper& helper = CorbelHelper::global_helper();
    SensorInterface sensor;
    const ObjectPath path = helper.root() / "ThermalSensor" /
                            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::unique_ptr<ObjectRegistration> registration =
        API_Registry::add_object(path, sensor.interface);
    SignalWatcher watcher{path.str()};
};

TEST_F(CorbelBusTest, OneCommitSendsOnePropertiesChanged) {
    PropertyUpdate update = sensor.interface->begin_update();
    update.set(sensor.maxFps, 30.0)
        .set(sensor.videoType, int32_t{2})
        .set(sensor.sensorTemperature, int32_t{31000})
        .set(sensor.cameraTemperature, int32_t{20000});  // unchanged: not named
    EXPECT_EQ(update.commit(), 3u);
    sensor.interface->emit(sensor.videoTypeChanged, int32_t{2});
    watcher.sync(helper.unique_name(), path.str());

    EXPECT_EQ(watcher.received(),
              (std::vector<std::string>{"PropertiesChanged[MaxFps;VideoType;SensorTemperature;]",
                                        "VideoTypeChanged(2)"}));
    EXPECT_EQ(
        watcher.readInt(helper.unique_name(), path.str(), "com.zelk.ThermalSensor", "VideoType"),
        2);

    // Nothing changed: no notification.
    EXPECT_EQ(sensor.interface->begin_update().set(sensor.videoType, int32_t{2}).commit(), 0u);
    watcher.sync(helper.unique_name(), path.str());
    EXPECT_EQ(watcher.received().size(), 2u);
}

TEST_F(CorbelBusTest, OutOfRangeValueIsRefusedAndOldValueKept) {
    PropertyUpdate update = sensor.interface->begin_update();
    update.set(sensor.sensorTemperature, int32_t{25000});
    EXPECT_EQ(errorText([&] { update.set(sensor.videoType, int32_t{3}); }), "Value out of range");
    EXPECT_THROW(update.set(sensor.maxFps, 120.5), RangeError);
    update.commit();

    EXPECT_EQ(sensor.interface->get(sensor.videoType), 0);
    EXPECT_EQ(sensor.interface->get(sensor.maxFps), 9.0);
    EXPECT_EQ(sensor.interface->get(sensor.sensorTemperature), 25000);
    EXPECT_EQ(
        watcher.readInt(helper.unique_name(), path.str(), "com.zelk.ThermalSensor", "VideoType"),
        0);
}

TEST_F(CorbelBusTest, IntrospectionShowsTheInterface) {
    helper.request_name("com.zelk.ThermalSensor");
    const std::string command = "gdbus introspect --address " + ProgramBus::get().address() +
                                " --dest com.zelk.ThermalSensor --object-path " + path.str();
    gchar* output = nullptr;
    gint status = -1;
    ASSERT_TRUE(g_spawn_command_line_sync(command.c_str(), &output, nullptr, &status, nullptr));
    const std::string text = output;
    g_free(output);
    EXPECT_EQ(status, 0);
    EXPECT_NE(text.find("interface com.zelk.ThermalSensor {"), std::string::npos) << text;
    EXPECT_NE(text.find("readonly d MaxFps = 9.0;"), std::string::npos) << text;
    EXPECT_NE(text.find("readonly i CameraTemperature = 20000;"), std::string::npos) << text;
    EXPECT_NE(text.find("VideoTypeChanged(i value);"), std::string::npos) << text;

    // A second publication at the same path is refused; after unregistration
    // the path is free again.
    EXPECT_THROW(API_Registry::add_object(path, SensorInterface().interface), BusError);
    registration.reset();
    EXPECT_NO_THROW(API_Registry::add_object(path, SensorInterface().interface));
}

}  // namespace
}  // namespace corbel
