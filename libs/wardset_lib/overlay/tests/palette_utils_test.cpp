#include "overlay/palette_utils.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "syslog_capture.h"

namespace {

const char* const kPaletteColorXml =
    "<node><interface name='com.zelk.Overlay2.PaletteColor'>"
    "<method name='SetColor'><arg type='y'/><arg type='y'/><arg type='y'/><arg type='y'/>"
    "<arg type='b'/></method></interface></node>";

// Records each call as "index: red green blue alpha flag".
void recordSetColor(GDBusConnection*, const gchar*, const gchar* path, const gchar*, const gchar*,
                    GVariant* parameters, GDBusMethodInvocation* invocation, gpointer calls) {
    guint8 color[4] = {};
    gboolean flag = FALSE;
    g_variant_get(parameters, "(yyyyb)", &color[0], &color[1], &color[2], &color[3], &flag);
    std::string call = std::string(path).substr(std::string(path).rfind('/') + 1) + ":";
    for (const guint8 value : color) {
        call += " " + std::to_string(value);
    }
    static_cast<std::vector<std::string>*>(calls)->push_back(call + (flag ? " true" : " false"));
    g_dbus_method_invocation_return_value(invocation, nullptr);
}

// A private message bus that the code under test takes for the system bus.
class PaletteUtilsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_bus = g_test_dbus_new(G_TEST_DBUS_NONE);
        g_test_dbus_up(s_bus);
        g_setenv("DBUS_SYSTEM_BUS_ADDRESS", g_test_dbus_get_bus_address(s_bus), TRUE);
        // The code's connection must not end the process when the bus goes.
        s_system = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr);
        ASSERT_NE(s_system, nullptr);
        g_dbus_connection_set_exit_on_close(s_system, FALSE);
    }
    static void TearDownTestSuite() {
        g_test_dbus_down(s_bus);
        g_object_unref(s_bus);
        g_clear_object(&s_system);
        g_unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    }

    // The overlay service's palette objects, served on this thread's main
    // context; null when they cannot be set up.
    static GDBusConnection* servePalette(std::vector<std::string>& calls) {
        GDBusConnection* service = g_dbus_connection_new_for_address_sync(
            g_test_dbus_get_bus_address(s_bus),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kPaletteColorXml, nullptr);
        static const GDBusInterfaceVTable vtable = {recordSetColor, nullptr, nullptr, {}};
        for (const char* index : {"0", "1", "4", "5"}) {
            const std::string path = std::string("/com/zelk/Overlay2/PaletteColor/") + index;
            g_dbus_connection_register_object(service, path.c_str(), node->interfaces[0], &vtable,
                                              &calls, nullptr, nullptr);
        }
        g_dbus_node_info_unref(node);
        GVariant* owner = g_dbus_connection_call_sync(
            service, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "RequestName", g_variant_new("(su)", "com.zelk.Overlay2", 4u /* do not queue */),
            G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        EXPECT_NE(owner, nullptr) << "could not own the overlay service's name";
        if (owner != nullptr) {
            g_variant_unref(owner);
        }
        return service;
    }

    // Sets the palette from another thread while this one serves.
    static bool setPaletteServedHere() {
        std::atomic<bool> done{false};
        bool result = false;
        std::thread caller([&] {
            result = PaletteUtils::setCustomPaletteValues();
            done = true;
            g_main_context_wakeup(nullptr);
        });
        while (!done) {
            g_main_context_iteration(nullptr, TRUE);
        }
        caller.join();
        return result;
    }

    static GTestDBus* s_bus;
    static GDBusConnection* s_system;
};

GTestDBus* PaletteUtilsTest::s_bus = nullptr;
GDBusConnection* PaletteUtilsTest::s_system = nullptr;

TEST_F(PaletteUtilsTest, SetsTheFourColoursInOrder) {
    std::vector<std::string> calls;
    GDBusConnection* service = servePalette(calls);
    ASSERT_NE(service, nullptr);
    EXPECT_TRUE(setPaletteServedHere());
    EXPECT_EQ(calls, (std::vector<std::string>{"0: 0 0 0 0 false", "5: 0 0 0 0 false",
                                               "1: 255 0 0 155 false", "4: 255 0 0 155 false"}));
    g_dbus_connection_close_sync(service, nullptr, nullptr);
    g_object_unref(service);
}

TEST_F(PaletteUtilsTest, WithoutTheOverlayServiceItLogsAndFails) {
    SyslogCapture capture;
    EXPECT_FALSE(PaletteUtils::setCustomPaletteValues());
    const std::string log = capture.take();
    EXPECT_NE(log.find("Failed to set custom palette color: "), std::string::npos) << log;
}

}  // namespace
