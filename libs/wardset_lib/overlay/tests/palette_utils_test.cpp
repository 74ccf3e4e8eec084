#include "overlay/palette_utils.h"

#include <gio/gio.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "service_process.h"
#include "syslog_capture.h"

namespace {

struct SetColorCall {
    int index;
    int red;
    int green;
    int blue;
    int alpha;
    bool flag;

    bool operator==(const SetColorCall& o) const {
        return index == o.index && red == o.red && green == o.green && blue == o.blue &&
               alpha == o.alpha && flag == o.flag;
    }
};

const char* const kPaletteColorXml =
    "<node><interface name='com.zelk.Overlay2.PaletteColor'>"
    "<method name='SetColor'><arg type='y'/><arg type='y'/><arg type='y'/><arg type='y'/>"
    "<arg type='b'/></method></interface></node>";

// The overlay service's palette objects on the private bus, recording every
// colour set. Runs its own main context on a thread of its own.
class PaletteColorService {
  public:
    explicit PaletteColorService(std::string address) : m_address(std::move(address)) {
        m_thread = std::thread([this] { run(); });
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_state != State::kStarting; });
    }
    ~PaletteColorService() {
        g_main_context_invoke(m_context, quit, m_loop);
        m_thread.join();
        g_main_loop_unref(m_loop);
        g_main_context_unref(m_context);
    }

    bool isServing() const { return m_state == State::kServing; }
    std::vector<SetColorCall> calls() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }

  private:
    enum class State { kStarting, kServing, kFailed };

    static gboolean quit(gpointer loop) {
        g_main_loop_quit(static_cast<GMainLoop*>(loop));
        return G_SOURCE_REMOVE;
    }

    static void onMethodCall(GDBusConnection*, const gchar*, const gchar* path, const gchar*,
                             const gchar*, GVariant* parameters, GDBusMethodInvocation* invocation,
                             gpointer self) {
        guint8 red = 0;
        guint8 green = 0;
        guint8 blue = 0;
        guint8 alpha = 0;
        gboolean flag = FALSE;
        g_variant_get(parameters, "(yyyyb)", &red, &green, &blue, &alpha, &flag);
        const std::string objectPath(path);
        auto* service = static_cast<PaletteColorService*>(self);
        {
            std::lock_guard<std::mutex> lock(service->m_mutex);
            service->m_calls.push_back({std::stoi(objectPath.substr(objectPath.rfind('/') + 1)),
                                        red, green, blue, alpha, flag != FALSE});
        }
        g_dbus_method_invocation_return_value(invocation, nullptr);
    }

    void run() {
        g_main_context_push_thread_default(m_context);
        GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
            m_address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kPaletteColorXml, nullptr);
        const bool serving = connection != nullptr && node != nullptr && serve(connection, node);
        setState(serving ? State::kServing : State::kFailed);
        if (serving) {
            g_main_loop_run(m_loop);
        }
        if (node != nullptr) {
            g_dbus_node_info_unref(node);
        }
        if (connection != nullptr) {
            g_dbus_connection_close_sync(connection, nullptr, nullptr);
            g_object_unref(connection);
        }
        g_main_context_pop_thread_default(m_context);
    }

    bool serve(GDBusConnection* connection, GDBusNodeInfo* node) {
        static const GDBusInterfaceVTable vtable = {onMethodCall, nullptr, nullptr, {}};
        for (const int index : {0, 1, 4, 5}) {
            const std::string path = "/com/zelk/Overlay2/PaletteColor/" + std::to_string(index);
            if (g_dbus_connection_register_object(connection, path.c_str(), node->interfaces[0],
                                                  &vtable, this, nullptr, nullptr) == 0) {
                return false;
            }
        }
        GVariant* owned = g_dbus_connection_call_sync(
            connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "RequestName", g_variant_new("(su)", "com.zelk.Overlay2", 4u /* do not queue */),
            G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        if (owned == nullptr) {
            return false;
        }
        g_variant_unref(owned);
        return true;
    }

    void setState(State state) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state = state;
        m_changed.notify_all();
    }

    std::string m_address;
    GMainContext* m_context = g_main_context_new();
    GMainLoop* m_loop = g_main_loop_new(m_context, FALSE);
    std::mutex m_mutex;
    std::condition_variable m_changed;
    State m_state = State::kStarting;   // guarded by m_mutex
    std::vector<SetColorCall> m_calls;  // guarded by m_mutex
    std::thread m_thread;
};

// A private message bus that the program takes for the system bus.
class PaletteUtilsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        gchar* directory = g_dir_make_tmp("palette_bus_XXXXXX", nullptr);
        ASSERT_NE(directory, nullptr);
        s_directory = directory;
        g_free(directory);
        s_address = "unix:path=" + s_directory + "/bus";
        s_bus = std::make_unique<camlet::testing::ServiceProcess>(
            "/usr/bin/dbus-daemon",
            std::vector<std::string>{"--session", "--nofork", "--address=" + s_address},
            s_directory + "/bus.log");
        ASSERT_TRUE(s_bus->start());
        ASSERT_TRUE(s_bus->waitForFile(s_directory + "/bus"));
        g_setenv("DBUS_SYSTEM_BUS_ADDRESS", s_address.c_str(), TRUE);
        // The program's connection must not end the process when the bus goes.
        s_system = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr);
        ASSERT_NE(s_system, nullptr);
        g_dbus_connection_set_exit_on_close(s_system, FALSE);
    }
    static void TearDownTestSuite() {
        s_bus.reset();
        if (s_system != nullptr) {
            g_object_unref(s_system);
        }
        g_unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        const std::string log = s_directory + "/bus.log";
        g_remove(log.c_str());
        g_rmdir(s_directory.c_str());
    }

    static std::string s_directory;
    static std::string s_address;
    static std::unique_ptr<camlet::testing::ServiceProcess> s_bus;
    static GDBusConnection* s_system;
};

std::string PaletteUtilsTest::s_directory;
std::string PaletteUtilsTest::s_address;
std::unique_ptr<camlet::testing::ServiceProcess> PaletteUtilsTest::s_bus;
GDBusConnection* PaletteUtilsTest::s_system = nullptr;

TEST_F(PaletteUtilsTest, SetsTheFourColoursInOrder) {
    PaletteColorService service(s_address);
    ASSERT_TRUE(service.isServing());
    EXPECT_TRUE(PaletteUtils::setCustomPaletteValues());
    const std::vector<SetColorCall> expected = {{0, 0, 0, 0, 0, false},
                                                {5, 0, 0, 0, 0, false},
                                                {1, 255, 0, 0, 155, false},
                                                {4, 255, 0, 0, 155, false}};
    EXPECT_EQ(service.calls(), expected);
}

TEST_F(PaletteUtilsTest, WithoutTheOverlayServiceItLogsAndFails) {
    SyslogCapture capture;
    EXPECT_FALSE(PaletteUtils::setCustomPaletteValues());
    const std::string log = capture.take();
    EXPECT_NE(log.find("Failed to set custom palette color: "), std::string::npos) << log;
}

}  // namespace
