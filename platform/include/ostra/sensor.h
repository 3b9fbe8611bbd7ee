/* Sensors: live pressure readings, the background pressure recorder and the
 * pressure-trend indicator. Readings come from a Linux IIO barometer, a
 * simulated atmosphere or a replayed trace (see README, "Pressure sensor").
 * Every callback runs on the GLib default main context, whichever thread made
 * the registering call. */
#ifndef OSTRA_SENSOR_H
#define OSTRA_SENSOR_H

#include <stdbool.h>
#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    SENSOR_ERROR_NONE = 0,
    SENSOR_ERROR_OPERATION_FAILED = -1,
    SENSOR_ERROR_IO_ERROR = -5,
    SENSOR_ERROR_OUT_OF_MEMORY = -12,
    SENSOR_ERROR_PERMISSION_DENIED = -13,
    /* The recorder is already recording. */
    SENSOR_ERROR_NOT_AVAILABLE = -16,
    SENSOR_ERROR_INVALID_PARAMETER = -22,
    /* A recorder query matched no stored samples. */
    SENSOR_ERROR_NO_DATA = -61,
    SENSOR_ERROR_NOT_SUPPORTED = -95,
} sensor_error_e;

typedef enum {
    SENSOR_PRESSURE = 9,
    /* Barometric trend computed from the recorder; value 0 is the trend code. */
    SENSOR_OSTRA_PRESSURE_TREND = 0x200A,
} sensor_type_e;

typedef enum {
    SENSOR_OPTION_DEFAULT = 0,
    SENSOR_OPTION_ON_IN_SCREEN_OFF = 1,
    SENSOR_OPTION_ON_IN_POWERSAVE_MODE = 2,
    SENSOR_OPTION_ALWAYS_ON = 3,
} sensor_option_e;

#define SENSOR_MAX_VALUE_SIZE 16

/* Pressure events: values[0] is hPa, values[3] is 1.0 while the sensor works
 * and 0.0 when it reports a failure. values[1] and values[2] are unused and
 * 0.0, accuracy is 0. Trend events: values[0] is the trend code. */
typedef struct {
    int accuracy;
    unsigned long long timestamp; /* microseconds since the epoch */
    int value_count;
    float values[SENSOR_MAX_VALUE_SIZE];
} sensor_event_s;

typedef struct ostra_sensor_s* sensor_h;
typedef struct ostra_sensor_listener_s* sensor_listener_h;

typedef void (*sensor_event_cb)(sensor_h sensor, sensor_event_s* event, void* user_data);

int sensor_is_supported(sensor_type_e type, bool* supported);
int sensor_get_default_sensor(sensor_type_e type, sensor_h* sensor);

int sensor_create_listener(sensor_h sensor, sensor_listener_h* listener);
int sensor_destroy_listener(sensor_listener_h listener);
int sensor_listener_start(sensor_listener_h listener);
int sensor_listener_stop(sensor_listener_h listener);
int sensor_listener_set_event_cb(sensor_listener_h listener, unsigned int interval_ms,
                                 sensor_event_cb callback, void* user_data);
int sensor_listener_unset_event_cb(sensor_listener_h listener);
int sensor_listener_set_option(sensor_listener_h listener, sensor_option_e option);
/* Accepted and kept for device-specific sensors; they change nothing here. */
int sensor_listener_set_attribute_int(sensor_listener_h listener, int attribute, int value);
/* Takes one reading now, without callbacks. */
int sensor_listener_read_data(sensor_listener_h listener, sensor_event_s* event);

/* The recorder: ostra-sensord samples the pressure source in the background and
 * keeps 2-minute averages under $OSTRA_ROOT/system, so history exists even when
 * no program ran. */
typedef struct ostra_recorder_option_s* sensor_recorder_option_h;
typedef struct ostra_recorder_query_s* sensor_recorder_query_h;
typedef struct ostra_recorder_data_s* sensor_recorder_data_h;

typedef enum {
    SENSOR_RECORDER_OPTION_RETENTION_PERIOD = 0, /* hours */
    SENSOR_RECORDER_OPTION_INTERVAL = 1,         /* minutes, 2 is the only recorded interval */
} sensor_recorder_option_e;

typedef enum {
    SENSOR_RECORDER_QUERY_START_TIME = 0,
    SENSOR_RECORDER_QUERY_END_TIME = 1,
    SENSOR_RECORDER_QUERY_ANCHOR_TIME = 2,
    SENSOR_RECORDER_QUERY_TIME_INTERVAL = 3, /* minutes */
} sensor_recorder_query_e;

typedef enum {
    SENSOR_RECORDER_DATA_PRESSURE = 48,
} sensor_recorder_data_e;

/* Called once per aggregated sample with the number still to come; return
 * false to stop the delivery. */
typedef bool (*sensor_recorder_data_cb)(sensor_type_e type, sensor_recorder_data_h data,
                                        int remains, sensor_error_e error, void* user_data);

int sensor_recorder_is_supported(sensor_type_e type, bool* supported);
/* Starts ostra-sensord unless it runs; SENSOR_ERROR_NOT_AVAILABLE when it already does. */
int sensor_recorder_start(sensor_type_e type, sensor_recorder_option_h option);
int sensor_recorder_stop(sensor_type_e type);

int sensor_recorder_create_option(sensor_recorder_option_h* option);
int sensor_recorder_destroy_option(sensor_recorder_option_h option);
int sensor_recorder_option_set_int(sensor_recorder_option_h option,
                                   sensor_recorder_option_e attribute, int value);

int sensor_recorder_create_query(sensor_recorder_query_h* query);
int sensor_recorder_destroy_query(sensor_recorder_query_h query);
int sensor_recorder_query_set_int(sensor_recorder_query_h query, sensor_recorder_query_e attribute,
                                  int value);
int sensor_recorder_query_set_time(sensor_recorder_query_h query, sensor_recorder_query_e attribute,
                                   time_t t);

/* Reads the samples whose start lies in [start, end), grouped into intervals
 * counted from the anchor, and delivers them on the main context.
 * SENSOR_ERROR_NO_DATA when nothing matches. */
int sensor_recorder_read(sensor_type_e type, sensor_recorder_query_h query,
                         sensor_recorder_data_cb callback, void* user_data);
int sensor_recorder_data_get_time(sensor_recorder_data_h data, time_t* start_time,
                                  time_t* end_time);
int sensor_recorder_data_get_double(sensor_recorder_data_h data, sensor_recorder_data_e key,
                                    double* value);

#ifdef __cplusplus
}
#endif

#endif
