// The alert's platform pieces against a desktop screen saver on a private
// session bus: the reserved screen holds it off and lets it go, turning the
// display on wakes it.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <ostra/device_display.h>
#include <ostra/reserved_screen.h>
#include <signal.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

constexpr const char* kIntrospection =
    "<node><interface name='org.freedesktop.ScreenSaver'>"
    "<method name='Inhibit'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
    "<arg type='u' direction='out'/></method>"
    "<method name='UnInhibit'><arg type='u' direction='in'/></method>"
    "<method name='SimulateUserActivity'/>"
    "</interface></node>";

// A stand-in for the desktop's screen saver that records the calls it gets.
struct ScreenSaver {
    std::vector<std::string> calls;
    guint32 nextCookie = 41;

    static void onCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                       const gchar* method, GVariant* parameters, GDBusMethodInvocation* call,
                       gpointer data) {
        auto* self = static_cast<ScreenSaver*>(data);
        std::string name = method;
        if (name == "Inhibit") {
            const gchar* app = nullptr;
            g_variant_get(parameters, "(&s&s)", &app, nullptr);
            self->calls.push_back("Inhibit " + std::string(app));
            g_dbus_method_invocation_return_value(call, g_variant_new("(u)", ++self->nextCookie));
            return;
        }
        if (name == "UnInhibit") {
            guint32 cookie = 0;
            g_variant_get(parameters, "(u)", &cookie);
            name += " " + std::to_string(cookie);
        }
        self->calls.push_back(name);
        g_dbus_method_invocation_return_value(call, nullptr);
    }
};

class DesktopScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        gchar* argv[] = {const_cast<gchar*>("dbus-daemon"), const_cast<gchar*>("--session"),
                         const_cast<gchar*>("--nofork"), const_cast<gchar*>("--print-address=1"),
                         nullptr};
        gint out = -1;
        if (!g_spawn_async_with_pipes(
                nullptr, argv, nullptr,
                static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr,
                nullptr, &_bus, nullptr, &out, nullptr, nullptr)) {
            GTEST_SKIP() << "dbus-daemon is not installed";
        }
        GIOChannel* channel = g_io_channel_unix_new(out);
        gchar* line = nullptr;
        g_io_channel_read_line(channel, &line, nullptr, nullptr, nullptr);
        g_io_channel_unref(channel);
        ASSERT_NE(line, nullptr);
        std::string address = g_strstrip(line);
        g_free(line);
        setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
        _connection = g_dbus_connection_new_for_address_sync(
            address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        ASSERT_NE(_connection, nullptr);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
        static const GDBusInterfaceVTable vtable = {ScreenSaver::onCall, nullptr, nullptr, {}};
        g_dbus_connection_register_object(_connection, "/org/freedesktop/ScreenSaver",
                                          node->interfaces[0], &vtable, &saver, nullptr, nullptr);
        g_dbus_node_info_unref(node);
        GVariant* reply = g_dbus_connection_call_sync(
            _connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "RequestName", g_variant_new("(su)", "org.freedesktop.ScreenSaver", 0u), nullptr,
            G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
        ASSERT_NE(reply, nullptr);
        g_variant_unref(reply);
    }
    void TearDown() override {
        if (_connection) {
            g_dbus_connection_close_sync(_connection, nullptr, nullptr);
            g_object_unref(_connection);
        }
        if (_bus > 0) {
            kill(_bus, SIGTERM);
            testsupport::waitProgram(_bus);
        }
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    bool called(size_t count) {
        return testsupport::runUntil([&] { return saver.calls.size() >= count; }, 3000);
    }

    testsupport::TempRoot root;
    ScreenSaver saver;

  private:
    GPid _bus = 0;
    GDBusConnection* _connection = nullptr;
};

TEST_F(DesktopScreen, ReservationHoldsTheScreenSaverOffAndDisplayOnWakesIt) {
    ASSERT_EQ(reserved_screen_request(), RESERVED_SCREEN_ERROR_NONE);
    ASSERT_EQ(reserved_screen_request(), RESERVED_SCREEN_ERROR_NONE);
    ASSERT_TRUE(called(1));
    EXPECT_EQ(saver.calls[0], "Inhibit " OSTRA_TEST_PACKAGE_ID);
    // One inhibition for both holders, released with the last one.
    EXPECT_EQ(reserved_screen_release(), RESERVED_SCREEN_ERROR_NONE);
    EXPECT_EQ(reserved_screen_release(), RESERVED_SCREEN_ERROR_NONE);
    ASSERT_TRUE(called(2));
    EXPECT_EQ(saver.calls[1], "UnInhibit 42");
    EXPECT_EQ(reserved_screen_release(), RESERVED_SCREEN_ERROR_NOT_RESERVED);

    // Released before the desktop granted it: let go as soon as it is granted.
    reserved_screen_request();
    reserved_screen_release();
    ASSERT_TRUE(called(4));
    EXPECT_EQ(saver.calls[3], "UnInhibit 43");

    ASSERT_EQ(device_display_change_state(DISPLAY_STATE_SCREEN_OFF), DEVICE_ERROR_NONE);
    display_state_e state = DISPLAY_STATE_NORMAL;
    device_display_get_state(&state);
    EXPECT_EQ(state, DISPLAY_STATE_SCREEN_OFF);
    ASSERT_EQ(device_display_change_state(DISPLAY_STATE_NORMAL), DEVICE_ERROR_NONE);
    ASSERT_TRUE(called(5));
    EXPECT_EQ(saver.calls[4], "SimulateUserActivity");
    EXPECT_EQ(saver.calls.size(), 5u) << "switching the display off wakes nothing";
    EXPECT_EQ(device_display_change_state(static_cast<display_state_e>(7)),
              DEVICE_ERROR_INVALID_PARAMETER);
}

}  // namespace
