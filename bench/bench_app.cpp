// What a UI program costs on the watch compared with a bare toolkit window
// (bench_bare_window), both started from this driver in the same run,
// headless on the buffer engine, in a throw-away OSTRA_ROOT with six hours
// of recorded pressure and the simulated sensor:
// - first frame: from fork to the "first frame drawn after" line on the
//   child's stderr (median of 21 starts after one warm-up start, the
//   programs started in turn);
// - running: CPU time (user + system) from the first frame over the run
//   length (60 s, --seconds N), and the peak resident set size (VmHWM).
// The recorder daemon a program may start runs in its own process; its cost
// is not counted. A third program, the floor (bench_linked_window), is the
// bare window made to load the main program's libraries without using them:
// its ratios show how much of the budget the dependencies take by loading.
//
// bench_app [--program PATH] [--seconds N] [benchmark flags]
#include <fcntl.h>
#include <glib.h>
#include <ostra/sensor.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "RatioReporter.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kFirstFrameLine = "first frame drawn after ";
constexpr double kFirstFrameTimeoutS = 30;
// Starts per program. They are interleaved (program, baseline, floor,
// program, ...) so that whatever the machine does meanwhile (evicting
// library pages, the toolkit's file daemon coming and going) falls on all
// alike, and the median is reported: one slow start moved a mean of five by
// a third on the development machine, and the median of eleven still moved
// by a tenth between runs.
constexpr int kStarts = 21;
// Seconds after the first frame before the running cost is measured.
constexpr double kSettleSeconds = 5;

std::string gRoot;

Clock::duration toDuration(double seconds) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A program started with its stderr on a pipe that is read all along, so a
// chatty program never blocks on a full pipe.
class Child {
  public:
    ~Child() { stop(); }

    bool start(const std::string& program) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            return false;
        }
        _started = Clock::now();
        _pid = fork();
        if (_pid == 0) {
            int devNull = open("/dev/null", O_RDWR);
            dup2(devNull, STDIN_FILENO);
            dup2(devNull, STDOUT_FILENO);
            dup2(fds[1], STDERR_FILENO);
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        _stderr = fds[0];
        return _pid > 0;
    }

    // Seconds from fork to the first-frame line, or a negative value when it
    // did not come in time; loggedMs gets the figure the program logged.
    double waitFirstFrame(double* loggedMs) {
        const auto deadline = _started + toDuration(kFirstFrameTimeoutS);
        while (readUntil(deadline)) {
            size_t at = _log.find(kFirstFrameLine);
            if (at != std::string::npos && _log.find('\n', at) != std::string::npos) {
                double elapsed = secondsSince(_started);
                *loggedMs = strtod(_log.c_str() + at + strlen(kFirstFrameLine), nullptr);
                return elapsed;
            }
        }
        return -1;
    }

    // Lets the program run, reading its output, until the time has passed;
    // false when it ended before.
    bool runFor(double length) {
        const auto deadline = Clock::now() + toDuration(length);
        while (Clock::now() < deadline) {
            if (!readUntil(deadline)) {
                return Clock::now() >= deadline;
            }
        }
        return true;
    }

    // CPU time of every live thread, in nanoseconds from the scheduler: the
    // clock ticks of /proc/PID/stat (10 ms) were coarser than a minute of
    // one reading a second costs.
    double cpuSeconds() const {
        std::string tasks = "/proc/" + std::to_string(_pid) + "/task";
        GDir* dir = g_dir_open(tasks.c_str(), 0, nullptr);
        if (!dir) {
            return -1;
        }
        double total = 0;
        while (const char* task = g_dir_read_name(dir)) {
            std::ifstream in(tasks + "/" + task + "/schedstat");
            double runNs = 0;
            if (in >> runNs) {
                total += runNs / 1e9;
            }
        }
        g_dir_close(dir);
        return total;
    }

    long peakRssKb() const {
        std::ifstream in("/proc/" + std::to_string(_pid) + "/status");
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("VmHWM:", 0) == 0) {
                return std::stol(line.substr(6));
            }
        }
        return -1;
    }

    std::string logTail() const {
        return _log.size() > 2000 ? _log.substr(_log.size() - 2000) : _log;
    }

    void stop() {
        if (_stderr >= 0 && _pid <= 0) {
            close(_stderr);
            _stderr = -1;
        }
        if (_pid <= 0) {
            return;
        }
        kill(_pid, SIGTERM);
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        int status = 0;
        while (waitpid(_pid, &status, WNOHANG) == 0) {
            if (Clock::now() >= deadline) {
                kill(_pid, SIGKILL);
                waitpid(_pid, &status, 0);
                break;
            }
            readUntil(Clock::now() + std::chrono::milliseconds(20));
        }
        _pid = -1;
        close(_stderr);
        _stderr = -1;
    }

  private:
    // Reads what arrives until the deadline; false at end of output.
    bool readUntil(Clock::time_point deadline) {
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd pfd{_stderr, POLLIN, 0};
        int ready = poll(&pfd, 1, left > 0 ? static_cast<int>(left) : 0);
        if (ready <= 0) {
            return ready == 0 && Clock::now() < deadline;
        }
        char buffer[4096];
        ssize_t got = read(_stderr, buffer, sizeof(buffer));
        if (got <= 0) {
            return false;
        }
        _log.append(buffer, static_cast<size_t>(got));
        // Only the recent output matters: the first-frame line comes early
        // and failures are reported with the tail.
        constexpr size_t kKeep = 64 * 1024;
        if (_log.size() > 2 * kKeep) {
            _log.erase(0, _log.size() - kKeep);
        }
        return true;
    }

    pid_t _pid = -1;
    int _stderr = -1;
    Clock::time_point _started;
    std::string _log;
};

void fail(benchmark::State& state, const std::string& program, const Child& child,
          const char* what) {
    fprintf(stderr, "%s: %s; its last output:\n%s\n", program.c_str(), what,
            child.logTail().c_str());
    state.SkipWithError(what);
}

struct StartTimes {
    std::vector<double> seconds;
    std::vector<double> loggedMs;
    std::string error;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Times every program's starts once, in turn, the first time a first-frame
// case asks, so that a filter leaving those cases out costs nothing.
const StartTimes& startTimes(const std::vector<std::string>& programs, const std::string& program) {
    static std::map<std::string, StartTimes> times;
    if (times.empty()) {
        for (const std::string& each : programs) {
            // One unmeasured start warms the file cache and creates the stores.
            Child warmUp;
            double loggedMs = 0;
            if (!warmUp.start(each) || warmUp.waitFirstFrame(&loggedMs) < 0) {
                fprintf(stderr, "%s: no first frame; its last output:\n%s\n", each.c_str(),
                        warmUp.logTail().c_str());
                times[each].error = "no first frame";
            }
        }
        for (int round = 0; round < kStarts; ++round) {
            for (const std::string& each : programs) {
                StartTimes& t = times[each];
                if (!t.error.empty()) {
                    continue;
                }
                Child child;
                double loggedMs = 0;
                double seconds = child.start(each) ? child.waitFirstFrame(&loggedMs) : -1;
                if (seconds < 0) {
                    fprintf(stderr, "%s: no first frame; its last output:\n%s\n", each.c_str(),
                            child.logTail().c_str());
                    t.error = "no first frame";
                    continue;
                }
                t.seconds.push_back(seconds);
                t.loggedMs.push_back(loggedMs);
            }
        }
    }
    return times[program];
}

void firstFrame(benchmark::State& state, const std::vector<std::string>& programs,
                const std::string& program) {
    const StartTimes& t = startTimes(programs, program);
    if (!t.error.empty()) {
        state.SkipWithError(t.error.c_str());
        return;
    }
    for (auto _ : state) {
        state.SetIterationTime(median(t.seconds));
    }
    state.counters["logged_ms"] = median(t.loggedMs);
    state.counters["fastest_ms"] = 1000 * *std::min_element(t.seconds.begin(), t.seconds.end());
    state.counters["slowest_ms"] = 1000 * *std::max_element(t.seconds.begin(), t.seconds.end());
}

void running(benchmark::State& state, const std::string& program, double seconds) {
    for (auto _ : state) {
        Child child;
        double loggedMs = 0;
        if (!child.start(program) || child.waitFirstFrame(&loggedMs) < 0) {
            fail(state, program, child, "no first frame");
            return;
        }
        // What a program does in the seconds after its first frame (the
        // opening sweep, the first graph, the recorder start) is start-up:
        // it is reported apart, and the steady rate is measured after it.
        double cpuAtFirstFrame = child.cpuSeconds();
        if (!child.runFor(kSettleSeconds)) {
            fail(state, program, child, "ended while settling");
            return;
        }
        double cpuSettled = child.cpuSeconds();
        if (!child.runFor(seconds)) {
            fail(state, program, child, "ended while running");
            return;
        }
        double cpu = child.cpuSeconds() - cpuSettled;
        long rssKb = child.peakRssKb();
        if (cpuAtFirstFrame < 0 || cpuSettled < cpuAtFirstFrame || cpu < 0 || rssKb < 0) {
            fail(state, program, child, "no figures in /proc");
            return;
        }
        state.SetIterationTime(cpu);
        state.counters["settle_cpu_ms"] = 1000.0 * (cpuSettled - cpuAtFirstFrame);
        state.counters["cpu_pct"] = 100.0 * cpu / seconds;
        state.counters["peak_rss_MiB"] = rssKb / 1024.0;
    }
    state.SetLabel("CPU time over " + std::to_string(static_cast<int>(seconds)) + " s");
}

bool runOstractl(std::vector<const char*> args) {
    args.insert(args.begin(), BENCH_OSTRACTL);
    args.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        execv(BENCH_OSTRACTL, const_cast<char* const*>(args.data()));
        _exit(127);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// Six hours of a slow fall and rise around 1013 hPa with a little noise,
// one row every two minutes, stored so that its last row is now.
bool importTrace() {
    std::string csv = gRoot + "/trace.csv";
    {
        std::ofstream out(csv);
        srand(1);
        for (int row = 0; row <= 180; ++row) {
            double noise = (rand() % 21 - 10) / 100.0;
            out << row * 120 << "," << 1013.0 + 2.5 * std::cos(row / 180.0 * M_PI) + noise << "\n";
        }
    }
    return runOstractl({"sensor", "import", csv.c_str(), "--end", "now"});
}

// Everything the children inherit: headless, this run's root, the
// simulation, and the log level that carries the first-frame line.
void prepareEnvironment() {
    setenv("OSTRA_ROOT", gRoot.c_str(), 1);
    setenv("ELM_DISPLAY", "buffer", 1);
    setenv("ELM_ACCEL", "none", 1);
    setenv("OSTRA_SENSOR", "sim", 1);
    setenv("OSTRA_LOG_LEVEL", "info", 1);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "OSTRA_SCREENSHOT",
                             "OSTRA_SCREENSHOT_EXIT", "OSTRA_LAUNCH_PENDING", "OSTRA_APP_ID"}) {
        unsetenv(name);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string program = BENCH_DEFAULT_PROGRAM;
    double seconds = 60;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--program" && i + 1 < argc) {
            program = argv[++i];
        } else if (arg == "--seconds" && i + 1 < argc) {
            seconds = atof(argv[++i]);
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (seconds <= 0 || access(program.c_str(), X_OK) != 0) {
        fprintf(stderr, "usage: %s [--program PATH] [--seconds N] [benchmark flags]\n", argv[0]);
        return 2;
    }
    char pattern[] = "/tmp/zentrel-bench-XXXXXX";
    gRoot = mkdtemp(pattern);
    prepareEnvironment();
    // A returning user: the first start's permission guide was confirmed.
    if (!importTrace() ||
        !runOstractl({"pref", "set", "ZENTREL_DATA_PERMISSION_GUIDE_MESSAGE", "int", "1"})) {
        fprintf(stderr, "cannot prepare the state (trace, guide) in %s\n", gRoot.c_str());
        std::filesystem::remove_all(gRoot);
        return 1;
    }
    printf("program:  %s\nbaseline: %s\nfloor:    %s\nrunning:  %.0f s each\n", program.c_str(),
           BENCH_BASELINE, BENCH_FLOOR, seconds);

    const std::pair<const char*, std::string> cases[] = {
        {"program", program}, {"baseline", BENCH_BASELINE}, {"floor", BENCH_FLOOR}};
    std::vector<std::string> programs;
    for (const auto& [name, path] : cases) {
        programs.push_back(path);
    }
    auto add = [](const std::string& title, std::function<void(benchmark::State&)> body) {
        benchmark::RegisterBenchmark(title.c_str(), std::move(body))
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    };
    for (const auto& [name, path] : cases) {
        add(std::string("BM_FirstFrame/") + name,
            [programs, path](benchmark::State& s) { firstFrame(s, programs, path); });
    }
    for (const auto& [name, path] : cases) {
        add(std::string("BM_Running/") + name,
            [path, seconds](benchmark::State& s) { running(s, path, seconds); });
    }

    int benchArgc = static_cast<int>(rest.size());
    benchmark::Initialize(&benchArgc, rest.data());
    // The names the library reports for the cases registered above.
    const std::string once = "/iterations:1/manual_time";
    RatioReporter reporter({{"BM_FirstFrame/program" + once, "BM_FirstFrame/baseline" + once},
                            {"BM_FirstFrame/floor" + once, "BM_FirstFrame/baseline" + once},
                            {"BM_Running/program" + once, "BM_Running/baseline" + once}});
    for (const char* measured : {"BM_Running/program", "BM_Running/floor"}) {
        reporter.addCounterRatio(measured + once, "BM_Running/baseline" + once, "peak_rss_MiB");
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    sensor_recorder_stop(SENSOR_PRESSURE);
    std::filesystem::remove_all(gRoot);
    return 0;
}
