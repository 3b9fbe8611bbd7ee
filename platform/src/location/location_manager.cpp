#include "ostra/location_manager.h"

#include <glib.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "GeoClueClient.h"
#include "Paths.h"
#include "PlatformLog.h"
#include "ostra/vconf.h"

struct location_manager_s {
    location_method_e method = LOCATIONS_METHOD_HYBRID;
    bool started = false;
    location_service_state_changed_cb stateCb = nullptr;
    void* stateData = nullptr;
    location_position_updated_cb positionCb = nullptr;
    void* positionData = nullptr;
    bool enabledState = false;
    bool havePosition = false;
    double latitude = 0, longitude = 0, altitude = 0;
    time_t timestamp = 0;
    guint pending = 0;
    std::unique_ptr<ostra::GeoClueClient> geoclue;
};

namespace {

struct SettingCallback {
    location_setting_changed_cb cb;
    void* data;
    // The switch as this callback last knew it: a notice that arrives after
    // registration for a change made before it is no change to the caller.
    bool known;
};

std::set<location_manager_h> gManagers;
std::map<int, SettingCallback> gSettingCallbacks;
location_enabling_method_result_cb gEnablingCb = nullptr;
void* gEnablingData = nullptr;
bool gWatchingSwitch = false;

bool validMethod(location_method_e method) {
    return method == LOCATIONS_METHOD_HYBRID || method == LOCATIONS_METHOD_GPS ||
           method == LOCATIONS_METHOD_WPS;
}

bool keyFlag(const char* key, bool fallback) {
    int value = 0;
    return vconf_get_bool(key, &value) == VCONF_OK ? value != 0 : fallback;
}

bool switchedOn() {
    return keyFlag(VCONFKEY_LOCATION_ENABLED, true);
}

struct FaultName {
    const char* name;
    int error;
};

constexpr FaultName kFaults[] = {
    {"out-of-memory", LOCATIONS_ERROR_OUT_OF_MEMORY},
    {"invalid-parameter", LOCATIONS_ERROR_INVALID_PARAMETER},
    {"accessibility-not-allowed", LOCATIONS_ERROR_ACCESSIBILITY_NOT_ALLOWED},
    {"incorrect-method", LOCATIONS_ERROR_INCORRECT_METHOD},
    {"service-not-available", LOCATIONS_ERROR_SERVICE_NOT_AVAILABLE},
    {"not-supported", LOCATIONS_ERROR_NOT_SUPPORTED},
    {"security-restricted", LOCATIONS_ERROR_SECURITY_RESTRICTED},
    {"network-failed", LOCATIONS_ERROR_NETWORK_FAILED},
    {"gps-setting-off", LOCATIONS_ERROR_GPS_SETTING_OFF},
};

// The fault set with `ostractl location fault`, or none.
int injectedFault() {
    char* name = vconf_get_str(VCONFKEY_LOCATION_FAULT);
    if (!name) {
        return LOCATIONS_ERROR_NONE;
    }
    int error = ostra_location_error_from_name(name);
    if (error == LOCATIONS_ERROR_NONE && *name) {
        OSTRA_LOGW("location: unknown fault \"%s\" ignored", name);
    } else if (error != LOCATIONS_ERROR_NONE) {
        OSTRA_LOGI("location: playing the fault %s", name);
    }
    free(name);
    return error;
}

bool silent() {
    return keyFlag(VCONFKEY_LOCATION_SILENT, false);
}

// A fixed place wins over GeoClue: both coordinates must be set and sane.
bool fixedPosition(double* latitude, double* longitude, double* altitude) {
    if (vconf_get_dbl(VCONFKEY_LOCATION_LATITUDE, latitude) != VCONF_OK ||
        vconf_get_dbl(VCONFKEY_LOCATION_LONGITUDE, longitude) != VCONF_OK) {
        return false;
    }
    if (!(*latitude >= -90.0 && *latitude <= 90.0 && *longitude >= -180.0 && *longitude <= 180.0)) {
        OSTRA_LOGE("location: fixed position %f, %f is out of range; ignored", *latitude,
                   *longitude);
        return false;
    }
    if (vconf_get_dbl(VCONFKEY_LOCATION_ALTITUDE, altitude) != VCONF_OK) {
        *altitude = 0.0;
    }
    return true;
}

void report(location_manager_h manager, bool enabled) {
    manager->enabledState = enabled;
    if (manager->stateCb) {
        manager->stateCb(enabled ? LOCATIONS_SERVICE_ENABLED : LOCATIONS_SERVICE_DISABLED,
                         manager->stateData);
    }
}

void setFix(location_manager_h manager, double latitude, double longitude, double altitude) {
    manager->latitude = latitude;
    manager->longitude = longitude;
    manager->altitude = altitude;
    manager->timestamp = time(nullptr);
    manager->havePosition = true;
    if (manager->positionCb) {
        manager->positionCb(latitude, longitude, altitude, manager->timestamp,
                            manager->positionData);
    }
}

void evaluate(location_manager_h manager) {
    if (silent()) {
        OSTRA_LOGI("location: the service is silent");
        return;
    }
    if (!switchedOn()) {
        manager->geoclue.reset();
        manager->havePosition = false;
        report(manager, false);
        return;
    }
    double latitude = 0, longitude = 0, altitude = 0;
    if (fixedPosition(&latitude, &longitude, &altitude)) {
        manager->geoclue.reset();
        setFix(manager, latitude, longitude, altitude);
        report(manager, true);
        return;
    }
    if (manager->geoclue) {
        return;  // already asking GeoClue; its answer reports
    }
    std::string desktopId = ostra::packageId();
    manager->geoclue = std::make_unique<ostra::GeoClueClient>(
        desktopId, [manager](bool ok, const ostra::GeoClueClient::Fix& fix) {
            if (!gManagers.count(manager) || !manager->started) {
                return;
            }
            if (!ok) {
                OSTRA_LOGW("location: no fixed position set and GeoClue2 unavailable");
                report(manager, false);
                return;
            }
            setFix(manager, fix.latitude, fix.longitude, fix.altitude);
            if (!manager->enabledState) {
                report(manager, true);
            }
        });
    manager->geoclue->start();
}

gboolean evaluateIdle(gpointer data) {
    auto* manager = static_cast<location_manager_h>(data);
    manager->pending = 0;
    evaluate(manager);
    return G_SOURCE_REMOVE;
}

void schedule(location_manager_h manager) {
    if (!manager->pending) {
        manager->pending = g_idle_add(evaluateIdle, manager);
    }
}

void onSwitchChanged(keynode_t*, void*) {
    bool on = switchedOn();
    OSTRA_LOGI("location switched %s", on ? "on" : "off");
    auto callbacks = gSettingCallbacks;
    for (const auto& entry : callbacks) {
        auto current = gSettingCallbacks.find(entry.first);
        if (current == gSettingCallbacks.end() || current->second.known == on) {
            continue;
        }
        current->second.known = on;
        entry.second.cb(static_cast<location_method_e>(entry.first), on, entry.second.data);
    }
    auto managers = gManagers;
    for (location_manager_h manager : managers) {
        if (gManagers.count(manager) && manager->started) {
            schedule(manager);
        }
    }
}

void watchSwitch() {
    if (!gWatchingSwitch) {
        gWatchingSwitch = vconf_notify_key_changed(VCONFKEY_LOCATION_ENABLED, onSwitchChanged,
                                                   nullptr) == VCONF_OK;
    }
}

gboolean answerEnableRequest(gpointer) {
    int result = LOCATIONS_ENABLE_METHOD_RESULT_DONE;
    if (!switchedOn()) {
        char* answer = vconf_get_str(VCONFKEY_LOCATION_ENABLE_ANSWER);
        bool accept = !answer || strcmp(answer, "refuse") != 0;
        free(answer);
        if (accept && vconf_set_bool(VCONFKEY_LOCATION_ENABLED, 1) == VCONF_OK) {
            OSTRA_LOGI("location: the user switched location on");
        } else {
            OSTRA_LOGI("location: the user kept location off");
            result = LOCATIONS_ENABLE_METHOD_RESULT_REFUSED;
        }
    }
    if (gEnablingCb) {
        gEnablingCb(result, gEnablingData);
    }
    return G_SOURCE_REMOVE;
}

}  // namespace

extern "C" {

bool location_manager_is_supported_method(location_method_e method) {
    return validMethod(method) && keyFlag(VCONFKEY_LOCATION_SUPPORTED, true);
}

int location_manager_is_enabled_method(location_method_e method, bool* enable) {
    if (!validMethod(method) || !enable) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    if (!location_manager_is_supported_method(method)) {
        return LOCATIONS_ERROR_NOT_SUPPORTED;
    }
    *enable = switchedOn();
    return LOCATIONS_ERROR_NONE;
}

int location_manager_create(location_method_e method, location_manager_h* manager) {
    if (!validMethod(method) || !manager) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    if (!location_manager_is_supported_method(method)) {
        return LOCATIONS_ERROR_NOT_SUPPORTED;
    }
    *manager = new location_manager_s();
    (*manager)->method = method;
    gManagers.insert(*manager);
    return LOCATIONS_ERROR_NONE;
}

int location_manager_destroy(location_manager_h manager) {
    if (!manager || !gManagers.count(manager)) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    location_manager_stop(manager);
    gManagers.erase(manager);
    delete manager;
    return LOCATIONS_ERROR_NONE;
}

int location_manager_start(location_manager_h manager) {
    if (!manager || !gManagers.count(manager)) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    const int fault = injectedFault();
    if (fault != LOCATIONS_ERROR_NONE) {
        return fault;
    }
    // The user's switch is off: the caller may ask to turn it on.
    if (!switchedOn()) {
        return LOCATIONS_ERROR_GPS_SETTING_OFF;
    }
    manager->started = true;
    watchSwitch();
    schedule(manager);
    return LOCATIONS_ERROR_NONE;
}

int location_manager_stop(location_manager_h manager) {
    if (!manager || !gManagers.count(manager)) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    manager->started = false;
    if (manager->pending) {
        g_source_remove(manager->pending);
        manager->pending = 0;
    }
    manager->geoclue.reset();
    manager->enabledState = false;
    return LOCATIONS_ERROR_NONE;
}

int location_manager_set_service_state_changed_cb(location_manager_h manager,
                                                  location_service_state_changed_cb callback,
                                                  void* user_data) {
    if (!manager || !callback || !gManagers.count(manager)) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    manager->stateCb = callback;
    manager->stateData = user_data;
    return LOCATIONS_ERROR_NONE;
}

int location_manager_unset_service_state_changed_cb(location_manager_h manager) {
    if (!manager || !gManagers.count(manager)) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    manager->stateCb = nullptr;
    manager->stateData = nullptr;
    return LOCATIONS_ERROR_NONE;
}

int location_manager_set_position_updated_cb(location_manager_h manager,
                                             location_position_updated_cb callback, int interval,
                                             void* user_data) {
    if (!manager || !callback || interval < 1 || !gManagers.count(manager)) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    manager->positionCb = callback;
    manager->positionData = user_data;
    return LOCATIONS_ERROR_NONE;
}

int location_manager_unset_position_updated_cb(location_manager_h manager) {
    if (!manager || !gManagers.count(manager)) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    manager->positionCb = nullptr;
    manager->positionData = nullptr;
    return LOCATIONS_ERROR_NONE;
}

int location_manager_get_position(location_manager_h manager, double* altitude, double* latitude,
                                  double* longitude, time_t* timestamp) {
    if (!manager || !altitude || !latitude || !longitude || !timestamp ||
        !gManagers.count(manager)) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    const int fault = injectedFault();
    if (fault != LOCATIONS_ERROR_NONE) {
        return fault;
    }
    if (manager->started && !switchedOn()) {
        return LOCATIONS_ERROR_GPS_SETTING_OFF;
    }
    // A restarted manager answers with its last fix until the service reports
    // again, as a location service keeps its last known position.
    if (!manager->started || silent() || !manager->havePosition) {
        return LOCATIONS_ERROR_SERVICE_NOT_AVAILABLE;
    }
    double lat = 0, lon = 0, alt = 0;
    if (!manager->geoclue && fixedPosition(&lat, &lon, &alt)) {
        setFix(manager, lat, lon, alt);  // a fixed place may have been moved meanwhile
    }
    *altitude = manager->altitude;
    *latitude = manager->latitude;
    *longitude = manager->longitude;
    *timestamp = manager->timestamp;
    return LOCATIONS_ERROR_NONE;
}

int location_manager_set_setting_changed_cb(location_method_e method,
                                            location_setting_changed_cb callback, void* user_data) {
    if (!validMethod(method) || !callback) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    watchSwitch();
    if (!gWatchingSwitch) {
        return LOCATIONS_ERROR_SERVICE_NOT_AVAILABLE;
    }
    gSettingCallbacks[method] = SettingCallback{callback, user_data, switchedOn()};
    return LOCATIONS_ERROR_NONE;
}

int location_manager_unset_setting_changed_cb(location_method_e method) {
    if (!validMethod(method)) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    gSettingCallbacks.erase(method);
    return LOCATIONS_ERROR_NONE;
}

int location_manager_enable_method(location_method_e method, bool enable) {
    if (!validMethod(method)) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    if (!location_manager_is_supported_method(method)) {
        return LOCATIONS_ERROR_NOT_SUPPORTED;
    }
    if (!enable) {
        return vconf_set_bool(VCONFKEY_LOCATION_ENABLED, 0) == VCONF_OK
                   ? LOCATIONS_ERROR_NONE
                   : LOCATIONS_ERROR_SERVICE_NOT_AVAILABLE;
    }
    g_idle_add(answerEnableRequest, nullptr);
    return LOCATIONS_ERROR_NONE;
}

int location_manager_set_enabling_method_result_cb(location_enabling_method_result_cb callback,
                                                   void* user_data) {
    if (!callback) {
        return LOCATIONS_ERROR_INVALID_PARAMETER;
    }
    gEnablingCb = callback;
    gEnablingData = user_data;
    return LOCATIONS_ERROR_NONE;
}

int location_manager_unset_enabling_method_result_cb(void) {
    gEnablingCb = nullptr;
    gEnablingData = nullptr;
    return LOCATIONS_ERROR_NONE;
}

int ostra_location_error_from_name(const char* name) {
    if (!name) {
        return LOCATIONS_ERROR_NONE;
    }
    for (const auto& fault : kFaults) {
        if (strcmp(fault.name, name) == 0) {
            return fault.error;
        }
    }
    return LOCATIONS_ERROR_NONE;
}

}  // extern "C"
