#include "ZentrelWidgetCalController.h"

#include <ctime>

#include "WeatherData.h"
#include "ZentrelLocationMgr.h"
#include "ZentrelLog.h"
#include "ZentrelStorageMgr.h"
#include "ZentrelUtil.h"

namespace {

constexpr double kRequestTimeoutMs = 500000.0;

ZentrelLocationMgr* location() {
    return ZentrelLocationMgr::getInstance();
}

}  // namespace

ZentrelWidgetCalController::ZentrelWidgetCalController(IZentrelWidgetCalListener* listener,
                                                       double guardSeconds)
    : _listener(listener), _guardSeconds(guardSeconds) {}

ZentrelWidgetCalController::~ZentrelWidgetCalController() {
    cancel();
    _removeTimer();
    // The location service keeps its listener until it is released.
    _releaseLocation();
}

bool ZentrelWidgetCalController::calibrate() {
    if (_state != IDLE) {
        ZLOGW("Calibration is runnding already");
        return false;
    }
    return _calibrate();
}

bool ZentrelWidgetCalController::_calibrate() {
    if (!ZentrelUtil::isConnectToMobile() && !ZentrelUtil::isConnectedNetwork()) {
        ZLOGW("Not connected network.");
        return false;
    }
    _report(STARTED);
    _removeTimer();
    _calTimer = ecore_timer_add(_guardSeconds, _calTimerCb, this);
    _state = LOCATION_REQUESTED;
    if (location()->createLocationMgr(this) != 0) {
        ZLOGE("createLocationMgr failed");
        // The guard timer still runs and ends the calibration.
        _state = IDLE;
        return false;
    }
    const locationState state = location()->getLocationState();
    if (state == ENABLED) {
        _requestAtCurrentPosition();
    } else if (state == DISABLED) {
        ZLOGI("locationState::NOT_READY ,check callback function.");
    } else {
        ZLOGW("getLocationState() error case(%d)", state);
    }
    return true;
}

// Reads the position and asks for the SLP there; a failure ends the attempt.
bool ZentrelWidgetCalController::_requestAtCurrentPosition() {
    double latitude = 0, longitude = 0, altitude = 0;
    if (location()->getCurrentPosition(&latitude, &longitude, &altitude) != 0) {
        ZLOGE("getCurrentPosition is failed");
        _state = IDLE;
        _report(CANCELED);
        return false;
    }
    ZLOGI("position %f, %f (%f m)", latitude, longitude, altitude);
    ZentrelAltitudeMgr::getInstance()->SetEventListener(this);
    ZentrelAltitudeMgr::getInstance()->Request(latitude, longitude, kRequestTimeoutMs);
    _state = CONTENT_PROVIDER_REQUESTED;
    return true;
}

bool ZentrelWidgetCalController::onStateChanged(int state) {
    if (state == ENABLED && _state == LOCATION_REQUESTED) {
        return _requestAtCurrentPosition();
    }
    ZLOGI("location state %d while calibration state %d", state, _state);
    _state = IDLE;
    // Released here, so a later service change cannot call back into an
    // attempt that has ended (or a controller that is gone).
    _releaseLocation();
    _report(CANCELED);
    return true;
}

bool ZentrelWidgetCalController::onLocationEnabled(bool) {
    return true;
}

void ZentrelWidgetCalController::OnDataReceived(WeatherDataPtr data) {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    const long long now = static_cast<long long>(time(nullptr));
    const double slp = data ? data->GetAtmPressure() : 0.0;
    ZLOGI("SLP : Before(%lf), After(%lf)", storage->getDataSLP(), slp);
    _state = IDLE;
    ZentrelAltitudeMgr::getInstance()->RequestCancel();
    if (!data) {
        ZLOGE("no weather record");
        _releaseLocation();
        _report(CANCELED);
        return;
    }
    storage->addDataSLPHistory(now, slp);
    storage->saveDataCalTime(now);
    storage->saveDataSLP(slp);
    storage->saveTemperature(data->getTemperature());
    _releaseLocation();
    _report(COMPLETED);
}

void ZentrelWidgetCalController::OnDataReceiveFailed() {
    ZLOGE("OnDataReceiveFailed");
    _state = IDLE;
    ZentrelAltitudeMgr::getInstance()->RequestCancel();
    _releaseLocation();
    _report(CANCELED);
}

Eina_Bool ZentrelWidgetCalController::_calTimerCb(void* data) {
    auto* self = static_cast<ZentrelWidgetCalController*>(data);
    if (!self) {
        ZLOGE("data is null.");
        return ECORE_CALLBACK_CANCEL;
    }
    ZLOGI("calibration timed out");
    self->_calTimer = nullptr;
    self->_state = IDLE;
    self->_report(CANCELED);
    ZentrelAltitudeMgr::getInstance()->RequestCancel();
    self->_releaseLocation();
    return ECORE_CALLBACK_CANCEL;
}

bool ZentrelWidgetCalController::stop() {
    _removeTimer();
    if (_state == LOCATION_REQUESTED) {
        ZLOGI("calState => IDLE (LOCATION_REQUESTED is stopped)");
        _state = IDLE;
    } else if (_state == CONTENT_PROVIDER_REQUESTED) {
        ZLOGI("calState => IDLE (CONTENT_PROVIDER_REQUESTED is stopped)");
        _state = IDLE;
        ZentrelAltitudeMgr::getInstance()->RequestCancel();
    } else {
        ZLOGI("Nothing to stop request.");
        return false;
    }
    _releaseLocation();
    return true;
}

bool ZentrelWidgetCalController::cancel() {
    if (_state == LOCATION_REQUESTED) {
        _releaseLocation();
    } else if (_state == CONTENT_PROVIDER_REQUESTED) {
        ZentrelAltitudeMgr::getInstance()->RequestCancel();
        // The location service must not call back into a controller that is gone.
        _releaseLocation();
    } else {
        ZLOGD("Not during calibration.");
        return false;
    }
    _removeTimer();
    return true;
}

void ZentrelWidgetCalController::_releaseLocation() {
    location()->stopLocationMgr();
    location()->destroyLocationMgr();
}

void ZentrelWidgetCalController::_removeTimer() {
    if (_calTimer) {
        ecore_timer_del(_calTimer);
        _calTimer = nullptr;
    }
}

void ZentrelWidgetCalController::_report(calEvent event) {
    if (_listener) {
        _listener->onCalEvent(event);
    }
}
