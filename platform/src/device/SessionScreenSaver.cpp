#include "SessionScreenSaver.h"

#include <gio/gio.h>

#include <cstdlib>

#include "PlatformLog.h"

namespace ostra {

namespace {

constexpr const char* kName = "org.freedesktop.ScreenSaver";
constexpr const char* kPath = "/org/freedesktop/ScreenSaver";
constexpr int kTimeoutMs = 2000;

struct InhibitState {
    guint32 cookie = 0;
    bool pending = false;
    bool releaseWhenGranted = false;
};

InhibitState& inhibition() {
    static InhibitState s;
    return s;
}

// Without a session bus address GIO would try to launch a bus; do not.
GDBusConnection* sessionBus() {
    const char* address = getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!address || !*address) {
        return nullptr;
    }
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus) {
        OSTRA_LOGW("session bus: %s", error ? error->message : "unreachable");
        g_clear_error(&error);
    }
    return bus;
}

// False when there is no bus to call on.
bool call(const char* method, GVariant* parameters, GAsyncReadyCallback done) {
    GDBusConnection* bus = sessionBus();
    if (!bus) {
        OSTRA_LOGI("screen saver %s: no session bus on this host", method);
        g_variant_unref(g_variant_ref_sink(parameters));
        return false;
    }
    g_dbus_connection_call(bus, kName, kPath, kName, method, parameters, nullptr,
                           G_DBUS_CALL_FLAGS_NO_AUTO_START, kTimeoutMs, nullptr, done, nullptr);
    g_object_unref(bus);
    return true;
}

GVariant* finish(GObject* bus, GAsyncResult* result, const char* method) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &error);
    if (!reply) {
        OSTRA_LOGI("screen saver %s: %s", method, error ? error->message : "no answer");
        g_clear_error(&error);
    }
    return reply;
}

void ignoreReply(GObject* bus, GAsyncResult* result, gpointer) {
    GVariant* reply = finish(bus, result, "call");
    if (reply) {
        g_variant_unref(reply);
    }
}

void inhibited(GObject* bus, GAsyncResult* result, gpointer) {
    InhibitState& s = inhibition();
    s.pending = false;
    GVariant* reply = finish(bus, result, "Inhibit");
    if (!reply) {
        return;
    }
    g_variant_get(reply, "(u)", &s.cookie);
    g_variant_unref(reply);
    OSTRA_LOGI("screen saver held off (cookie %u)", s.cookie);
    if (s.releaseWhenGranted) {
        SessionScreenSaver::uninhibit();
    }
}

}  // namespace

void SessionScreenSaver::inhibit(const char* application, const char* reason) {
    InhibitState& s = inhibition();
    s.releaseWhenGranted = false;
    if (s.cookie || s.pending) {
        return;
    }
    s.pending = call("Inhibit", g_variant_new("(ss)", application, reason), inhibited);
}

void SessionScreenSaver::uninhibit() {
    InhibitState& s = inhibition();
    if (s.pending) {
        s.releaseWhenGranted = true;
        return;
    }
    if (!s.cookie) {
        return;
    }
    call("UnInhibit", g_variant_new("(u)", s.cookie), ignoreReply);
    s.cookie = 0;
}

void SessionScreenSaver::wake() {
    call("SimulateUserActivity", g_variant_new("()"), ignoreReply);
}

}  // namespace ostra
