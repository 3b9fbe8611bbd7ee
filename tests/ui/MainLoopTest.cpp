// GLib sources (timeouts, I/O channel watches) run under the EFL main loop,
// and Ecore timers keep their order among them.
#include <gtest/gtest.h>
#include <ostra/ostra_efl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"

namespace {

struct Events {
    std::vector<std::string> order;
    std::string piped;
};

TEST(MainLoopTest, GlibTimeoutsAndChannelWatchesFireUnderElmRun) {
    uitest::ElmBuffer elm;
    Events events;
    struct Tagged {
        Events* events;
        const char* name;
    };
    Tagged early{&events, "glib-50ms"}, late{&events, "glib-900ms"};
    auto record = [](gpointer data) -> gboolean {
        auto* t = static_cast<Tagged*>(data);
        t->events->order.push_back(t->name);
        return G_SOURCE_REMOVE;
    };
    g_timeout_add(50, record, &early);
    g_timeout_add(900, record, &late);
    ecore_timer_add(
        0.4,
        [](void* data) -> Eina_Bool {
            static_cast<Events*>(data)->order.push_back("ecore-400ms");
            return ECORE_CALLBACK_CANCEL;
        },
        &events);

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    GIOChannel* channel = g_io_channel_unix_new(fds[0]);
    g_io_add_watch(
        channel, G_IO_IN,
        [](GIOChannel* ch, GIOCondition, gpointer data) -> gboolean {
            char buffer[64];
            // A plain read: a buffered channel would block waiting for a full buffer.
            ssize_t got = read(g_io_channel_unix_get_fd(ch), buffer, sizeof buffer);
            if (got > 0) {
                static_cast<Events*>(data)->piped.append(buffer, static_cast<size_t>(got));
            }
            static_cast<Events*>(data)->order.push_back("pipe");
            return G_SOURCE_REMOVE;
        },
        &events);
    // Written from an Ecore timer, so only the loop can deliver it.
    static int writeFd;
    writeFd = fds[1];
    ecore_timer_add(
        0.6,
        [](void*) -> Eina_Bool {
            EXPECT_EQ(write(writeFd, "result", 6), 6);
            return ECORE_CALLBACK_CANCEL;
        },
        nullptr);
    ecore_timer_add(
        1.2,
        [](void*) -> Eina_Bool {
            elm_exit();
            return ECORE_CALLBACK_CANCEL;
        },
        nullptr);
    elm_run();

    EXPECT_EQ(events.order,
              (std::vector<std::string>{"glib-50ms", "ecore-400ms", "pipe", "glib-900ms"}));
    EXPECT_EQ(events.piped, "result");
    g_io_channel_unref(channel);
    close(fds[0]);
    close(fds[1]);
}

}  // namespace
