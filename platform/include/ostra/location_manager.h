/* Location: the position comes from a fixed place set in system keys or,
 * when none is set, from GeoClue2 over D-Bus. The user's on/off switch is the
 * system key "db/location/enabled". Every callback runs on the GLib main
 * context of the thread that registered it. */
#ifndef OSTRA_LOCATION_MANAGER_H
#define OSTRA_LOCATION_MANAGER_H

#include <stdbool.h>
#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    LOCATIONS_ERROR_NONE = 0,
    LOCATIONS_ERROR_OUT_OF_MEMORY = -12,
    LOCATIONS_ERROR_ACCESSIBILITY_NOT_ALLOWED = -13,
    LOCATIONS_ERROR_INVALID_PARAMETER = -22,
    LOCATIONS_ERROR_NOT_SUPPORTED = -0x01150001,
    LOCATIONS_ERROR_INCORRECT_METHOD = -0x02C20001,
    LOCATIONS_ERROR_NETWORK_FAILED = -0x02C20002,
    LOCATIONS_ERROR_SERVICE_NOT_AVAILABLE = -0x02C20003,
    LOCATIONS_ERROR_SETTING_OFF = -0x02C20004,
    LOCATIONS_ERROR_GPS_SETTING_OFF = LOCATIONS_ERROR_SETTING_OFF,
    LOCATIONS_ERROR_SECURITY_RESTRICTED = -0x02C20005,
} location_error_e;

typedef enum {
    LOCATIONS_METHOD_NONE = -1,
    LOCATIONS_METHOD_HYBRID = 0,
    LOCATIONS_METHOD_GPS = 1,
    LOCATIONS_METHOD_WPS = 2,
} location_method_e;

typedef enum {
    LOCATIONS_SERVICE_ENABLED = 0,
    LOCATIONS_SERVICE_DISABLED = 1,
} location_service_state_e;

enum {
    LOCATIONS_ENABLE_METHOD_RESULT_REFUSED = 0,
    LOCATIONS_ENABLE_METHOD_RESULT_DONE = 1,
};

/* System keys of the location area. */
#define VCONFKEY_LOCATION_ENABLED "db/location/enabled"
#define VCONFKEY_LOCATION_SUPPORTED "db/location/supported"
#define VCONFKEY_LOCATION_LATITUDE "db/location/latitude"
#define VCONFKEY_LOCATION_LONGITUDE "db/location/longitude"
#define VCONFKEY_LOCATION_ALTITUDE "db/location/altitude"
/* How the user answers a request to switch location on: "accept" or "refuse". */
#define VCONFKEY_LOCATION_ENABLE_ANSWER "db/location/enable_answer"
/* A fault to play: the name of an error (see ostra_location_error_from_name)
 * that starting a manager and reading the position answer instead of working. */
#define VCONFKEY_LOCATION_FAULT "db/location/fault"
/* When true the service never comes up: started managers stay silent. */
#define VCONFKEY_LOCATION_SILENT "db/location/silent"

typedef struct location_manager_s* location_manager_h;
typedef void (*location_service_state_changed_cb)(location_service_state_e state, void* user_data);
typedef void (*location_position_updated_cb)(double latitude, double longitude, double altitude,
                                             time_t timestamp, void* user_data);
typedef void (*location_setting_changed_cb)(location_method_e method, bool enable, void* user_data);
typedef void (*location_enabling_method_result_cb)(int result, void* user_data);

bool location_manager_is_supported_method(location_method_e method);
int location_manager_is_enabled_method(location_method_e method, bool* enable);
int location_manager_create(location_method_e method, location_manager_h* manager);
int location_manager_destroy(location_manager_h manager);
int location_manager_start(location_manager_h manager);
int location_manager_stop(location_manager_h manager);
int location_manager_set_service_state_changed_cb(location_manager_h manager,
                                                  location_service_state_changed_cb callback,
                                                  void* user_data);
int location_manager_unset_service_state_changed_cb(location_manager_h manager);
int location_manager_set_position_updated_cb(location_manager_h manager,
                                             location_position_updated_cb callback, int interval,
                                             void* user_data);
int location_manager_unset_position_updated_cb(location_manager_h manager);
int location_manager_get_position(location_manager_h manager, double* altitude, double* latitude,
                                  double* longitude, time_t* timestamp);
int location_manager_set_setting_changed_cb(location_method_e method,
                                            location_setting_changed_cb callback, void* user_data);
int location_manager_unset_setting_changed_cb(location_method_e method);
/* Asks the user to switch the method on; the answer arrives later through the
 * enabling-result callback. */
int location_manager_enable_method(location_method_e method, bool enable);
int location_manager_set_enabling_method_result_cb(location_enabling_method_result_cb callback,
                                                   void* user_data);
int location_manager_unset_enabling_method_result_cb(void);

/* The error of a fault name ("out-of-memory", "invalid-parameter",
 * "accessibility-not-allowed", "incorrect-method", "service-not-available",
 * "not-supported", "security-restricted", "network-failed", "gps-setting-off");
 * LOCATIONS_ERROR_NONE for any other name. */
int ostra_location_error_from_name(const char* name);

#ifdef __cplusplus
}
#endif

#endif
