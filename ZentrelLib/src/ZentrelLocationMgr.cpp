#include "ZentrelLocationMgr.h"

#include "ZentrelLog.h"

IZentrelLocationListener* ZentrelLocationMgr::_listner = nullptr;

ZentrelLocationMgr* ZentrelLocationMgr::getInstance() {
    static ZentrelLocationMgr instance;
    return &instance;
}

ZentrelLocationMgr::~ZentrelLocationMgr() {
    ZLOG_BEGIN();
    destroyLocationMgr();
}

int ZentrelLocationMgr::createLocationMgr(IZentrelLocationListener* listener) {
    ZLOG_BEGIN();
    if (!isGpsEnabled()) {
        return LOCATIONS_ERROR_NOT_SUPPORTED;
    }
    if (_location_manager) {
        ZLOGI("_location_manager is already created!");
        ZLOGD("_location_manager : %p", static_cast<void*>(_location_manager));
        int error = location_manager_start(_location_manager);
        if (error != LOCATIONS_ERROR_NONE) {
            location_manager_stop(_location_manager);
            ZLOGE("Failed to location_manager_start(%d)", error);
            return error;
        }
        return LOCATIONS_ERROR_NONE;
    }
    location_manager_h manager = nullptr;
    int error = location_manager_create(LOCATIONS_METHOD_HYBRID, &manager);
    if (error != LOCATIONS_ERROR_NONE) {
        ZLOGE("Failed to location_manager_create = %d", error);
        return error;
    }
    error = location_manager_set_service_state_changed_cb(manager, _serviceStateChangedCb, this);
    if (error != LOCATIONS_ERROR_NONE) {
        location_manager_destroy(manager);
        ZLOGE("Failed to location_manager_set_service_state_changed_cb(%d)", error);
        _listner = nullptr;
        return error;
    }
    error = location_manager_start(manager);
    if (error != LOCATIONS_ERROR_NONE) {
        location_manager_stop(manager);
        location_manager_unset_service_state_changed_cb(manager);
        location_manager_destroy(manager);
        ZLOGE("Failed to location_manager_start(%d)", error);
        _listner = nullptr;
        return error;
    }
    _location_manager = manager;
    _listner = listener;
    return LOCATIONS_ERROR_NONE;
}

void ZentrelLocationMgr::stopLocationMgr() {
    ZLOG_BEGIN();
    if (_location_manager) {
        location_manager_stop(_location_manager);
    }
}

void ZentrelLocationMgr::destroyLocationMgr() {
    ZLOG_BEGIN();
    if (_location_manager) {
        location_manager_unset_position_updated_cb(_location_manager);
        location_manager_unset_service_state_changed_cb(_location_manager);
        location_manager_destroy(_location_manager);
        _location_manager = nullptr;
    }
    _listner = nullptr;
    _unsetSettingChangedCb();
    _unsetEnablingResultCb();
    _locationState = DISABLED;
}

int ZentrelLocationMgr::getCurrentPosition(double* latitude, double* longitude, double* altitude) {
    ZLOG_BEGIN();
    if (!_location_manager) {
        ZLOGE("_location_manager == nullptr");
        return -1;
    }
    double alt = 0, lat = 0, lon = 0;
    time_t timestamp = 0;
    int error = location_manager_get_position(_location_manager, &alt, &lat, &lon, &timestamp);
    if (error != LOCATIONS_ERROR_NONE) {
        ZLOGE("Failed to location_manager_get_position(%d)", error);
        return error;
    }
    ZLOGI("getting position succeed");
    ZLOGD(" altitude : %f,latitude : %f, longitude : %f, timestamp : %d ", alt, lat, lon,
          static_cast<int>(timestamp));
    *latitude = lat;
    *longitude = lon;
    *altitude = alt;
    return LOCATIONS_ERROR_NONE;
}

bool ZentrelLocationMgr::isGpsEnabled() {
    bool supported = location_manager_is_supported_method(LOCATIONS_METHOD_HYBRID);
    ZLOGD("GpsEnabled is %d", supported);
    return supported;
}

bool ZentrelLocationMgr::isLocationEnabled() {
    bool enabled = false;
    int error = location_manager_is_enabled_method(LOCATIONS_METHOD_HYBRID, &enabled);
    if (error != LOCATIONS_ERROR_NONE) {
        ZLOGE("Failed to location_manager_is_enabled_method(%d)", error);
        return false;
    }
    ZLOGD("islocationEnabled is %d", enabled);
    return enabled;
}

locationState ZentrelLocationMgr::getLocationState() {
    return _locationState;
}

void ZentrelLocationMgr::setLocationState(locationState state) {
    _locationState = state;
}

int ZentrelLocationMgr::onLocationsetting(IZentrelLocationListener* listener) {
    ZLOG_BEGIN();
    int error = location_manager_set_enabling_method_result_cb(_enablingResultCb, this);
    if (error != LOCATIONS_ERROR_NONE) {
        ZLOGE("location_manager_set_enabling_method_result_cb failed(%d)", error);
        return error;
    }
    error =
        location_manager_set_setting_changed_cb(LOCATIONS_METHOD_HYBRID, _settingChangedCb, this);
    if (error != LOCATIONS_ERROR_NONE) {
        _unsetEnablingResultCb();
        ZLOGE("location_manager_set_setting_changed_cb failed(%d)", error);
        return error;
    }
    ZLOGI("location_manager_set_setting_changed_cb success!!");
    error = location_manager_enable_method(LOCATIONS_METHOD_HYBRID, true);
    if (error != LOCATIONS_ERROR_NONE) {
        ZLOGE("location_manager_enable_method failed(%d)", error);
        _unsetSettingChangedCb();
        _unsetEnablingResultCb();
        return error;
    }
    ZLOGI("location_manager_enable_method success!!");
    _listner = listener;
    return LOCATIONS_ERROR_NONE;
}

void ZentrelLocationMgr::unsetLocationsetting() {
    _unsetSettingChangedCb();
    _unsetEnablingResultCb();
}

void ZentrelLocationMgr::_unsetEnablingResultCb() {
    ZLOG_BEGIN();
    int error = location_manager_unset_enabling_method_result_cb();
    if (error != LOCATIONS_ERROR_NONE) {
        ZLOGE("location_manager_unset_enabling_method_result_cb failed(%d)", error);
    } else {
        ZLOGD("location_manager_unset_enabling_method_result_cb success");
    }
    ZLOG_END();
}

void ZentrelLocationMgr::_unsetSettingChangedCb() {
    ZLOG_BEGIN();
    int error = location_manager_unset_setting_changed_cb(LOCATIONS_METHOD_HYBRID);
    if (error != LOCATIONS_ERROR_NONE) {
        ZLOGE("location_manager_unset_setting_changed_cb failed(%d)", error);
    } else {
        ZLOGD("location_manager_unset_setting_changed_cb success");
    }
    ZLOG_END();
}

void ZentrelLocationMgr::_serviceStateChangedCb(location_service_state_e state, void* userData) {
    ZLOGD(">> %d", state);
    auto* self = static_cast<ZentrelLocationMgr*>(userData);
    if (!self) {
        ZLOGE("self is nullptr");
        return;
    }
    if (state == LOCATIONS_SERVICE_DISABLED) {
        ZLOGI("location service disabled");
        self->_locationState = DISABLED;
        return;
    }
    ZLOGI("location service enabled");
    self->_locationState = ENABLED;
    if (_listner) {
        _listner->onStateChanged(ENABLED);
    }
}

void ZentrelLocationMgr::_enablingResultCb(int result, void* userData) {
    ZLOG_BEGIN();
    ZLOGD("result %d", result);
    auto* self = static_cast<ZentrelLocationMgr*>(userData);
    if (!self) {
        ZLOGE("self is nullptr");
        return;
    }
    if (result == LOCATIONS_ENABLE_METHOD_RESULT_DONE) {
        ZLOGI("location service enabled");
        self->_locationState = ENABLED;
        if (_listner) {
            _listner->onLocationEnabled(true);
        }
    } else {
        ZLOGE("location enable failed!!!");
        self->_unsetSettingChangedCb();
        self->_locationState = DISABLED;
        if (_listner) {
            _listner->onLocationEnabled(false);
        }
    }
    self->_unsetEnablingResultCb();
    ZLOG_END();
}

void ZentrelLocationMgr::_settingChangedCb(location_method_e, bool enable, void* userData) {
    ZLOG_BEGIN();
    ZLOGD("enable :%d", enable);
    auto* self = static_cast<ZentrelLocationMgr*>(userData);
    if (!_listner) {
        ZLOGE("_listner == nullptr");
        return;
    }
    if (enable && self) {
        self->createLocationMgr(_listner);
    } else {
        ZLOGI("enable is 0");
    }
    if (self) {
        self->_unsetSettingChangedCb();
    }
}
