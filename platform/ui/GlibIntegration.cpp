// Debian's EFL is built without GLib support, so GLib sources would never run
// under elm_run(). The select function below makes every main-loop iteration
// also prepare, poll and dispatch the GLib default context.
#include <Ecore.h>
#include <fcntl.h>
#include <glib.h>
#include <sys/select.h>

#include <algorithm>
#include <vector>

#include "PlatformLog.h"
#include "ostra/ostra_efl.h"

namespace {

std::vector<GPollFD>& pollFds() {
    static std::vector<GPollFD> fds(16);
    return fds;
}

int selectWithGlib(int nfds, fd_set* readfds, fd_set* writefds, fd_set* exceptfds,
                   struct timeval* timeout) {
    GMainContext* context = g_main_context_default();
    if (!g_main_context_acquire(context)) {
        return select(nfds, readfds, writefds, exceptfds, timeout);
    }
    gint maxPriority = 0;
    g_main_context_prepare(context, &maxPriority);
    std::vector<GPollFD>& fds = pollFds();
    gint glibTimeout = -1;
    gint count;
    while ((count = g_main_context_query(context, maxPriority, &glibTimeout, fds.data(),
                                         static_cast<gint>(fds.size()))) >
           static_cast<gint>(fds.size())) {
        fds.resize(count);
    }
    int maxFd = nfds;
    for (gint i = 0; i < count; ++i) {
        GPollFD& pfd = fds[i];
        pfd.revents = 0;
        if (pfd.fd < 0 || pfd.fd >= FD_SETSIZE) {
            continue;
        }
        // A descriptor closed behind GLib's back would fail the whole select
        // and send Ecore hunting for bad descriptors of its own.
        if (fcntl(pfd.fd, F_GETFD) == -1) {
            pfd.revents = G_IO_NVAL;
            continue;
        }
        if (pfd.events & (G_IO_IN | G_IO_HUP | G_IO_ERR)) {
            FD_SET(pfd.fd, readfds);
        }
        if (pfd.events & G_IO_OUT) {
            FD_SET(pfd.fd, writefds);
        }
        if (pfd.events & G_IO_PRI) {
            FD_SET(pfd.fd, exceptfds);
        }
        maxFd = std::max(maxFd, pfd.fd + 1);
    }
    // The shorter of the two waits, so that Ecore timers keep their timing.
    struct timeval glibWait;
    struct timeval* wait = timeout;
    if (glibTimeout >= 0) {
        glibWait.tv_sec = glibTimeout / 1000;
        glibWait.tv_usec = (glibTimeout % 1000) * 1000;
        if (!timeout || glibWait.tv_sec < timeout->tv_sec ||
            (glibWait.tv_sec == timeout->tv_sec && glibWait.tv_usec < timeout->tv_usec)) {
            wait = &glibWait;
        }
    }
    int ready = select(maxFd, readfds, writefds, exceptfds, wait);
    if (ready > 0) {
        for (gint i = 0; i < count; ++i) {
            GPollFD& pfd = fds[i];
            if (pfd.fd < 0 || pfd.fd >= FD_SETSIZE || pfd.revents == G_IO_NVAL) {
                continue;
            }
            if (FD_ISSET(pfd.fd, readfds)) {
                pfd.revents |= pfd.events & (G_IO_IN | G_IO_HUP | G_IO_ERR);
            }
            if (FD_ISSET(pfd.fd, writefds)) {
                pfd.revents |= G_IO_OUT;
            }
            if (FD_ISSET(pfd.fd, exceptfds)) {
                pfd.revents |= G_IO_PRI;
            }
        }
    }
    if (g_main_context_check(context, maxPriority, fds.data(), count)) {
        g_main_context_dispatch(context);
    }
    g_main_context_release(context);
    return ready;
}

}  // namespace

extern "C" bool ostra_efl_glib_integrate(void) {
    static bool done = false;
    if (done) {
        return true;
    }
    ecore_main_loop_select_func_set(selectWithGlib);
    done = ecore_main_loop_select_func_get() == selectWithGlib;
    if (!done) {
        OSTRA_LOGE("cannot install the GLib select function");
    }
    return done;
}
