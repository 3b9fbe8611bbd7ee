#include "ostra/dlog.h"

#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

namespace {

std::mutex gLogMutex;
ostra_log_sink_cb gSink = nullptr;
void* gSinkData = nullptr;
log_priority gLevel = DLOG_UNKNOWN;

log_priority levelFromEnv() {
    const char* env = getenv("OSTRA_LOG_LEVEL");
    if (!env || !*env) {
        return DLOG_INFO;
    }
    switch (env[0]) {
        case 'v':
        case 'V':
            return DLOG_VERBOSE;
        case 'd':
        case 'D':
            return DLOG_DEBUG;
        case 'i':
        case 'I':
            return DLOG_INFO;
        case 'w':
        case 'W':
            return DLOG_WARN;
        case 'e':
        case 'E':
            return DLOG_ERROR;
        case 's':
        case 'S':
            return DLOG_SILENT;
        default:
            return DLOG_INFO;
    }
}

char levelLetter(log_priority prio) {
    switch (prio) {
        case DLOG_VERBOSE:
            return 'V';
        case DLOG_DEBUG:
            return 'D';
        case DLOG_INFO:
            return 'I';
        case DLOG_WARN:
            return 'W';
        case DLOG_ERROR:
            return 'E';
        case DLOG_FATAL:
            return 'F';
        default:
            return 'I';
    }
}

std::string stripAnsi(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\033' && p[1] == '[') {
            p += 2;
            while (*p && !(*p >= '@' && *p <= '~')) {
                ++p;
            }
            if (!*p) {
                break;
            }
            continue;
        }
        out.push_back(*p);
    }
    return out;
}

}  // namespace

extern "C" log_priority ostra_log_get_level(void) {
    std::lock_guard<std::mutex> lock(gLogMutex);
    if (gLevel == DLOG_UNKNOWN) {
        gLevel = levelFromEnv();
    }
    return gLevel;
}

extern "C" void ostra_log_set_level(log_priority prio) {
    std::lock_guard<std::mutex> lock(gLogMutex);
    gLevel = prio;
}

extern "C" void ostra_log_set_sink(ostra_log_sink_cb sink, void* user_data) {
    std::lock_guard<std::mutex> lock(gLogMutex);
    gSink = sink;
    gSinkData = user_data;
}

extern "C" int dlog_vprint(log_priority prio, const char* tag, const char* fmt, va_list ap) {
    if (!tag || !fmt) {
        return DLOG_ERROR_INVALID_PARAMETER;
    }
    if (prio < ostra_log_get_level()) {
        return DLOG_ERROR_NONE;
    }
    va_list copy;
    va_copy(copy, ap);
    int needed = vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (needed < 0) {
        return DLOG_ERROR_INVALID_PARAMETER;
    }
    std::string message(static_cast<size_t>(needed) + 1, '\0');
    vsnprintf(message.data(), message.size(), fmt, ap);
    message.resize(static_cast<size_t>(needed));

    struct timeval tv;
    gettimeofday(&tv, nullptr);
    struct tm local;
    localtime_r(&tv.tv_sec, &local);
    char stamp[32];
    strftime(stamp, sizeof(stamp), "%m-%d %H:%M:%S", &local);

    std::lock_guard<std::mutex> lock(gLogMutex);
    if (gSink) {
        gSink(prio, tag, stripAnsi(message.c_str()).c_str(), gSinkData);
    }
    fprintf(stderr, "%s.%03ld %c/%s(%5d): %s\n", stamp, static_cast<long>(tv.tv_usec / 1000),
            levelLetter(prio), tag, static_cast<int>(getpid()), message.c_str());
    return needed;
}

extern "C" int dlog_print(log_priority prio, const char* tag, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    int result = dlog_vprint(prio, tag, fmt, ap);
    va_end(ap);
    return result;
}
