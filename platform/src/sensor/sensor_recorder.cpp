// The recorder API: starting and stopping ostra-sensord, and reading its
// buckets back grouped into the caller's intervals.
#include <glib.h>

#include <map>
#include <vector>

#include "PlatformLog.h"
#include "RecorderStore.h"
#include "SensordControl.h"
#include "ostra/sensor.h"

struct ostra_recorder_option_s {
    int retentionHours = ostra::RecorderStore::kDefaultRetentionHours;
    int intervalMinutes = 2;
};

struct ostra_recorder_query_s {
    long long start = -1;
    long long end = -1;
    long long anchor = -1;
    int intervalMinutes = 2;
};

struct ostra_recorder_data_s {
    time_t start;
    time_t end;
    double hPa;
};

namespace {

struct Delivery {
    std::vector<ostra_recorder_data_s> samples;
    sensor_recorder_data_cb callback;
    void* userData;
};

gboolean deliver(gpointer data) {
    auto* delivery = static_cast<Delivery*>(data);
    int count = static_cast<int>(delivery->samples.size());
    for (int i = 0; i < count; ++i) {
        if (!delivery->callback(SENSOR_PRESSURE, &delivery->samples[i], count - 1 - i,
                                SENSOR_ERROR_NONE, delivery->userData)) {
            break;
        }
    }
    delete delivery;
    return G_SOURCE_REMOVE;
}

long long floorDiv(long long a, long long b) {
    long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

extern "C" {

int sensor_recorder_is_supported(sensor_type_e type, bool* supported) {
    if (!supported) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    *supported = type == SENSOR_PRESSURE;
    return SENSOR_ERROR_NONE;
}

int sensor_recorder_start(sensor_type_e type, sensor_recorder_option_h option) {
    if (type != SENSOR_PRESSURE) {
        return SENSOR_ERROR_NOT_SUPPORTED;
    }
    if (ostra::SensordControl::runningPid() != 0) {
        return SENSOR_ERROR_NOT_AVAILABLE;
    }
    int retention = option ? option->retentionHours : ostra::RecorderStore::kDefaultRetentionHours;
    return ostra::SensordControl::start(retention) ? SENSOR_ERROR_NONE
                                                   : SENSOR_ERROR_OPERATION_FAILED;
}

int sensor_recorder_stop(sensor_type_e type) {
    if (type != SENSOR_PRESSURE) {
        return SENSOR_ERROR_NOT_SUPPORTED;
    }
    return ostra::SensordControl::stop() ? SENSOR_ERROR_NONE : SENSOR_ERROR_OPERATION_FAILED;
}

int sensor_recorder_create_option(sensor_recorder_option_h* option) {
    if (!option) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    *option = new ostra_recorder_option_s();
    return SENSOR_ERROR_NONE;
}

int sensor_recorder_destroy_option(sensor_recorder_option_h option) {
    if (!option) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    delete option;
    return SENSOR_ERROR_NONE;
}

int sensor_recorder_option_set_int(sensor_recorder_option_h option,
                                   sensor_recorder_option_e attribute, int value) {
    if (!option || value <= 0) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    if (attribute == SENSOR_RECORDER_OPTION_RETENTION_PERIOD) {
        option->retentionHours = value;
    } else if (attribute == SENSOR_RECORDER_OPTION_INTERVAL) {
        if (value != 2) {
            return SENSOR_ERROR_NOT_SUPPORTED;
        }
        option->intervalMinutes = value;
    } else {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    return SENSOR_ERROR_NONE;
}

int sensor_recorder_create_query(sensor_recorder_query_h* query) {
    if (!query) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    *query = new ostra_recorder_query_s();
    return SENSOR_ERROR_NONE;
}

int sensor_recorder_destroy_query(sensor_recorder_query_h query) {
    if (!query) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    delete query;
    return SENSOR_ERROR_NONE;
}

int sensor_recorder_query_set_int(sensor_recorder_query_h query, sensor_recorder_query_e attribute,
                                  int value) {
    if (!query || attribute != SENSOR_RECORDER_QUERY_TIME_INTERVAL || value <= 0) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    query->intervalMinutes = value;
    return SENSOR_ERROR_NONE;
}

int sensor_recorder_query_set_time(sensor_recorder_query_h query, sensor_recorder_query_e attribute,
                                   time_t t) {
    if (!query || t < 0) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    switch (attribute) {
        case SENSOR_RECORDER_QUERY_START_TIME:
            query->start = t;
            return SENSOR_ERROR_NONE;
        case SENSOR_RECORDER_QUERY_END_TIME:
            query->end = t;
            return SENSOR_ERROR_NONE;
        case SENSOR_RECORDER_QUERY_ANCHOR_TIME:
            query->anchor = t;
            return SENSOR_ERROR_NONE;
        default:
            return SENSOR_ERROR_INVALID_PARAMETER;
    }
}

int sensor_recorder_read(sensor_type_e type, sensor_recorder_query_h query,
                         sensor_recorder_data_cb callback, void* user_data) {
    if (type != SENSOR_PRESSURE) {
        return SENSOR_ERROR_NOT_SUPPORTED;
    }
    if (!query || !callback || query->start < 0 || query->end <= query->start) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    ostra::RecorderStore store;
    std::vector<ostra::RecorderBucket> buckets;
    if (!store.query(query->start, query->end, &buckets)) {
        return SENSOR_ERROR_IO_ERROR;
    }
    if (buckets.empty()) {
        return SENSOR_ERROR_NO_DATA;
    }
    long long anchor = query->anchor >= 0 ? query->anchor : query->start;
    long long interval = static_cast<long long>(query->intervalMinutes) * 60;
    // Weighted by sample count, so an interval's value is the mean of its readings.
    std::map<long long, std::pair<double, long long>> groups;
    for (const auto& bucket : buckets) {
        auto& group = groups[floorDiv(bucket.start - anchor, interval)];
        group.first += bucket.hPa * bucket.samples;
        group.second += bucket.samples;
    }
    auto* delivery = new Delivery{{}, callback, user_data};
    for (const auto& entry : groups) {
        if (entry.second.second <= 0) {
            continue;
        }
        time_t start = static_cast<time_t>(anchor + entry.first * interval);
        delivery->samples.push_back({start, static_cast<time_t>(start + interval),
                                     entry.second.first / entry.second.second});
    }
    if (delivery->samples.empty()) {
        delete delivery;
        return SENSOR_ERROR_NO_DATA;
    }
    g_idle_add(deliver, delivery);
    return SENSOR_ERROR_NONE;
}

int sensor_recorder_data_get_time(sensor_recorder_data_h data, time_t* start_time,
                                  time_t* end_time) {
    if (!data || !start_time || !end_time) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    *start_time = data->start;
    *end_time = data->end;
    return SENSOR_ERROR_NONE;
}

int sensor_recorder_data_get_double(sensor_recorder_data_h data, sensor_recorder_data_e key,
                                    double* value) {
    if (!data || !value || key != SENSOR_RECORDER_DATA_PRESSURE) {
        return SENSOR_ERROR_INVALID_PARAMETER;
    }
    *value = data->hPa;
    return SENSOR_ERROR_NONE;
}

}  // extern "C"
