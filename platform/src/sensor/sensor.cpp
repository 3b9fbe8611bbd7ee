// Live sensors: the pressure sensor reads its source on a main-context timer;
// the trend sensor re-evaluates the recorder's history whenever the daemon
// stores a bucket (and every two minutes, as the window moves on).
#include "ostra/sensor.h"

#include <glib-unix.h>
#include <glib.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>

#include "Paths.h"
#include "PlatformLog.h"
#include "PressureSource.h"
#include "PressureTrend.h"
#include "RecorderStore.h"

struct ostra_sensor_s {
    sensor_type_e type;
};

struct ostra_sensor_listener_s {
    sensor_h sensor = nullptr;
    std::unique_ptr<ostra::PressureSource> source;
    sensor_event_cb callback = nullptr;
    void* userData = nullptr;
    unsigned intervalMs = 0;
    sensor_option_e option = SENSOR_OPTION_DEFAULT;
    std::map<int, int> attributes;
    bool started = false;
    guint timer = 0;
    guint settle = 0;
    // The recorder's directory, watched with inotify: a GIO file monitor
    // would load much of GIO and start its worker thread in every program
    // that shows the trend.
    int watchFd = -1;
    guint watch = 0;
    int lastCode = 0;
};

namespace {

constexpr unsigned kDefaultIntervalMs = 1000;
constexpr unsigned kTrendRecheckMs = 120000;
// The recorder writes a transaction in several steps; look once they settled.
constexpr unsigned kTrendSettleMs = 200;

ostra_sensor_s gPressureSensor{SENSOR_PRESSURE};
ostra_sensor_s gTrendSensor{SENSOR_OSTRA_PRESSURE_TREND};

bool isTrend(sensor_listener_h listener) {
    return listener->sensor->type == SENSOR_OSTRA_PRESSURE_TREND;
}

long long nowSeconds() {
    return g_get_real_time() / G_USEC_PER_SEC;
}

bool readPressure(sensor_listener_h listener, sensor_event_s* event) {
    ostra::PressureReading reading;
    if (!listener->source->read(&reading)) {
        return false;
    }
    *event = sensor_event_s{};
    event->timestamp = static_cast<unsigned long long>(g_get_real_time());
    event->value_count = 4;
    event->values[0] = static_cast<float>(reading.hPa);
    event->values[3] = reading.working ? 1.0f : 0.0f;
    return true;
}

void trendEvent(int code, sensor_event_s* event) {
    *event = sensor_event_s{};
    event->timestamp = static_cast<unsigned long long>(g_get_real_time());
    event->value_count = 1;
    event->values[0] = static_cast<float>(code);
}

gboolean pressureTick(gpointer data) {
    auto* listener = static_cast<sensor_listener_h>(data);
    sensor_event_s event;
    if (listener->callback && readPressure(listener, &event)) {
        // The callback may destroy the listener: nothing touches it afterwards.
        listener->callback(listener->sensor, &event, listener->userData);
    }
    return G_SOURCE_CONTINUE;
}

void evaluateTrend(sensor_listener_h listener) {
    int code = ostra::PressureTrend::current(nowSeconds());
    if (code == listener->lastCode || !listener->callback) {
        return;
    }
    listener->lastCode = code;
    sensor_event_s event;
    trendEvent(code, &event);
    listener->callback(listener->sensor, &event, listener->userData);
}

gboolean trendSettled(gpointer data) {
    auto* listener = static_cast<sensor_listener_h>(data);
    listener->settle = 0;
    evaluateTrend(listener);
    return G_SOURCE_REMOVE;
}

gboolean trendTick(gpointer data) {
    auto* listener = static_cast<sensor_listener_h>(data);
    if (listener->settle == 0) {
        listener->settle = g_idle_add(trendSettled, listener);
    }
    return G_SOURCE_CONTINUE;
}

bool recorderTouched(int fd) {
    const std::string path = ostra::RecorderStore::defaultPath();
    const std::string name = path.substr(path.rfind('/') + 1);
    alignas(inotify_event) char buffer[4096];
    bool touched = false;
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            // An overflowed queue may have dropped the recorder's own events.
            if ((event->mask & IN_Q_OVERFLOW) || (event->len && name == event->name)) {
                touched = true;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return touched;
}

gboolean recorderChanged(gint fd, GIOCondition, gpointer data) {
    auto* listener = static_cast<sensor_listener_h>(data);
    if (!recorderTouched(fd)) {
        return G_SOURCE_CONTINUE;
    }
    if (listener->settle != 0) {
        g_source_remove(listener->settle);
    }
    listener->settle = g_timeout_add(kTrendSettleMs, trendSettled, listener);
    return G_SOURCE_CONTINUE;
}

// Without a watch (logged) the two-minute recheck still follows the recorder.
void watchRecorder(sensor_listener_h listener) {
    const std::string dir = ostra::systemDir();
    // Not IN_CLOSE_WRITE: SQLite opens the file read-write even to read it,
    // so our own reading would set off another reading.
    const uint32_t events = IN_MODIFY | IN_CREATE | IN_MOVED_TO;
    int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0 || inotify_add_watch(fd, dir.c_str(), events) < 0) {
        OSTRA_LOGW("trend sensor: recorder file not watched (%s), rechecked every two minutes",
                   strerror(errno));
        if (fd >= 0) {
            close(fd);
        }
        return;
    }
    listener->watchFd = fd;
    listener->watch = g_unix_fd_add(fd, G_IO_IN, recorderChanged, listener);
}

void stopSources(sensor_listener_h listener) {
    if (listener->timer) {
        g_source_remove(listener->timer);
        listener->timer = 0;
    }
    if (listener->settle) {
        g_source_remove(listener->settle);
        listener->settle = 0;
    }
    if (listener->watchFd >= 0) {
        g_source_remove(listener->watch);
        listener->watch = 0;
        close(listener->watchFd);
        listener->watchFd = -1;
    }
}

void startSources(sensor_listener_h listener) {
    if (!isTrend(listener)) {
        listener->timer =
            g_timeout_add(listener->intervalMs ? listener->intervalMs : kDefaultIntervalMs,
                          pressureTick, listener);
        return;
    }
    // A missing directory would only be polled every few seconds.
    ostra::makeDirs(ostra::systemDir());
    watchRecorder(listener);
    listener->timer = g_timeout_add(kTrendRecheckMs, trendTick, listener);
    // A real sensor reports its state when it starts; so does this one.
    listener->lastCode = 0;
    listener->settle = g_idle_add(trendSettled, listener);
}

}  // namespace

extern "C" {

int sensor_is_supported(sensor_type_e type, bool* supported) {
    if (!supported) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    *supported = type == SENSOR_PRESSURE || type == SENSOR_OSTRA_PRESSURE_TREND;
    return SENSOR_ERROR_NONE;
}

int sensor_get_default_sensor(sensor_type_e type, sensor_h* sensor) {
    if (!sensor) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    if (type == SENSOR_PRESSURE) {
        *sensor = &gPressureSensor;
    } else if (type == SENSOR_OSTRA_PRESSURE_TREND) {
        *sensor = &gTrendSensor;
    } else {
        return SENSOR_ERROR_NOT_SUPPORTED;
    }
    return SENSOR_ERROR_NONE;
}

int sensor_create_listener(sensor_h sensor, sensor_listener_h* listener) {
    if (!sensor || !listener) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    auto created = std::make_unique<ostra_sensor_listener_s>();
    created->sensor = sensor;
    if (sensor->type == SENSOR_PRESSURE) {
        created->source = ostra::openPressureSource();
        if (!created->source) {
            return SENSOR_ERROR_IO_ERROR;
        }
        OSTRA_LOGI("pressure sensor reads %s", created->source->describe().c_str());
    }
    *listener = created.release();
    return SENSOR_ERROR_NONE;
}

int sensor_destroy_listener(sensor_listener_h listener) {
    if (!listener) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    stopSources(listener);
    delete listener;
    return SENSOR_ERROR_NONE;
}

int sensor_listener_start(sensor_listener_h listener) {
    if (!listener) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    if (!listener->started) {
        listener->started = true;
        startSources(listener);
    }
    return SENSOR_ERROR_NONE;
}

int sensor_listener_stop(sensor_listener_h listener) {
    if (!listener) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    listener->started = false;
    stopSources(listener);
    return SENSOR_ERROR_NONE;
}

int sensor_listener_set_event_cb(sensor_listener_h listener, unsigned int interval_ms,
                                 sensor_event_cb callback, void* user_data) {
    if (!listener || !callback) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    listener->callback = callback;
    listener->userData = user_data;
    if (listener->intervalMs != interval_ms && listener->started && !isTrend(listener)) {
        listener->intervalMs = interval_ms;
        stopSources(listener);
        startSources(listener);
    }
    listener->intervalMs = interval_ms;
    return SENSOR_ERROR_NONE;
}

int sensor_listener_unset_event_cb(sensor_listener_h listener) {
    if (!listener) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    listener->callback = nullptr;
    listener->userData = nullptr;
    return SENSOR_ERROR_NONE;
}

int sensor_listener_set_option(sensor_listener_h listener, sensor_option_e option) {
    if (!listener || option < SENSOR_OPTION_DEFAULT || option > SENSOR_OPTION_ALWAYS_ON) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    listener->option = option;
    return SENSOR_ERROR_NONE;
}

int sensor_listener_set_attribute_int(sensor_listener_h listener, int attribute, int value) {
    if (!listener) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    listener->attributes[attribute] = value;
    OSTRA_LOGD("sensor %d: attribute %d = %d", listener->sensor->type, attribute, value);
    return SENSOR_ERROR_NONE;
}

int sensor_listener_read_data(sensor_listener_h listener, sensor_event_s* event) {
    if (!listener || !event) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    if (isTrend(listener)) {
        trendEvent(ostra::PressureTrend::current(nowSeconds()), event);
        return SENSOR_ERROR_NONE;
    }
    return readPressure(listener, event) ? SENSOR_ERROR_NONE : SENSOR_ERROR_IO_ERROR;
}

}  // extern "C"
