// Cross-process change notice latency: a child process writes 100 values,
// each carrying the monotonic time of its write; the parent's preference
// callback measures how late it hears of the value it reads. Changes that
// arrive close together are announced once, with the newest value, so there
// may be fewer notices than writes. The baseline is the same hand-over
// through a pipe watched by the same GLib main loop.
#include <glib-unix.h>
#include <glib.h>
#include <ostra/app_preference.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kWrites = 100;
constexpr int kSpacingUs = 50000;

struct Run {
    std::vector<double> latenciesMs;
    GMainLoop* loop = nullptr;
};

void onChange(const char* key, void* data) {
    auto* run = static_cast<Run*>(data);
    gint64 now = g_get_monotonic_time();
    char* text = nullptr;
    if (preference_get_string(key, &text) != PREFERENCE_ERROR_NONE) {
        return;
    }
    if (g_str_equal(text, "end")) {
        g_main_loop_quit(run->loop);
    } else {
        run->latenciesMs.push_back((now - g_ascii_strtoll(text, nullptr, 10)) / 1000.0);
    }
    free(text);
}

gboolean onPipe(gint fd, GIOCondition, gpointer data) {
    auto* run = static_cast<Run*>(data);
    gint64 stamp = 0;
    if (read(fd, &stamp, sizeof(stamp)) == sizeof(stamp)) {
        run->latenciesMs.push_back((g_get_monotonic_time() - stamp) / 1000.0);
    }
    if (run->latenciesMs.size() >= kWrites) {
        g_main_loop_quit(run->loop);
        return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
}

gboolean onTimeout(gpointer data) {
    g_main_loop_quit(static_cast<Run*>(data)->loop);
    return G_SOURCE_CONTINUE;  // removed with its context at exit
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return -1;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * (values.size() - 1))];
}

double measurePreference() {
    Run run;
    run.loop = g_main_loop_new(nullptr, FALSE);
    preference_set_changed_cb("bench_stamp", onChange, &run);
    pid_t child = fork();
    if (child == 0) {
        for (int i = 0; i < kWrites; ++i) {
            g_usleep(kSpacingUs);
            preference_set_string("bench_stamp", std::to_string(g_get_monotonic_time()).c_str());
        }
        g_usleep(kSpacingUs);
        preference_set_string("bench_stamp", "end");
        _exit(0);
    }
    g_timeout_add_seconds(30, onTimeout, &run);
    g_main_loop_run(run.loop);
    waitpid(child, nullptr, 0);
    preference_unset_changed_cb("bench_stamp");
    g_main_loop_unref(run.loop);
    printf("preference notices received: %zu for %d writes, worst %.3f ms\n",
           run.latenciesMs.size(), kWrites, percentile(run.latenciesMs, 1.0));
    return percentile(run.latenciesMs, 0.5);
}

double measurePipe() {
    Run run;
    run.loop = g_main_loop_new(nullptr, FALSE);
    int fds[2];
    if (pipe(fds) != 0) {
        return -1;
    }
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        for (int i = 0; i < kWrites; ++i) {
            g_usleep(kSpacingUs);
            gint64 stamp = g_get_monotonic_time();
            if (write(fds[1], &stamp, sizeof(stamp)) != sizeof(stamp)) {
                _exit(1);
            }
        }
        _exit(0);
    }
    close(fds[1]);
    g_unix_fd_add(fds[0], G_IO_IN, onPipe, &run);
    g_timeout_add_seconds(30, onTimeout, &run);
    g_main_loop_run(run.loop);
    waitpid(child, nullptr, 0);
    close(fds[0]);
    g_main_loop_unref(run.loop);
    return percentile(run.latenciesMs, 0.5);
}

}  // namespace

int main() {
    char pattern[] = "/tmp/zentrel-bench-XXXXXX";
    std::string root = mkdtemp(pattern);
    setenv("OSTRA_ROOT", root.c_str(), 1);
    preference_set_string("bench_stamp", "0");
    double pref = measurePreference();
    double pipeMs = measurePipe();
    printf("median cross-process change notice: %.3f ms (%d writes)\n", pref, kWrites);
    printf("median pipe hand-over (baseline):   %.3f ms\n", pipeMs);
    if (pipeMs > 0) {
        printf("ratio notice / pipe = %.1f; budget 1000 ms, used %.1f%%\n", pref / pipeMs,
               pref / 10.0);
    }
    std::filesystem::remove_all(root);
    return pref >= 0 ? 0 : 1;
}
