// Refreshes the stored sea-level pressure from the widget: the position from
// the location service, the provider's SLP for it from the request manager,
// the result into the store. A guard timer ends an attempt that takes too long.
#pragma once

#include <Ecore.h>

#include "IZentrelLocationListener.h"
#include "IZentrelWidgetCalListener.h"
#include "ZentrelAltitudeMgr.h"

enum calState {
    IDLE = 0,
    WEATHER_APP_REQUESTED = 1,
    LOCATION_REQUESTED = 2,
    CONTENT_PROVIDER_REQUESTED = 3,
};

class ZentrelWidgetCalController : public IZentrelLocationListener, public ZentrelAltitudeMgrEvent {
  public:
    static constexpr double GUARD_SECONDS = 30.0;

    explicit ZentrelWidgetCalController(IZentrelWidgetCalListener* listener,
                                        double guardSeconds = GUARD_SECONDS);
    ~ZentrelWidgetCalController() override;
    ZentrelWidgetCalController(const ZentrelWidgetCalController&) = delete;
    ZentrelWidgetCalController& operator=(const ZentrelWidgetCalController&) = delete;

    bool calibrate();
    // Ends a running calibration without telling the listener.
    bool stop();
    // Releases a running request.
    bool cancel();
    calState getState() const { return _state; }

    bool onStateChanged(int state) override;
    bool onLocationEnabled(bool enabled) override;
    void OnDataReceived(WeatherDataPtr data) override;
    void OnDataReceiveFailed() override;

  private:
    bool _calibrate();
    bool _requestAtCurrentPosition();
    void _releaseLocation();
    void _removeTimer();
    void _report(calEvent event);
    static Eina_Bool _calTimerCb(void* data);

    calState _state = IDLE;
    IZentrelWidgetCalListener* _listener;
    Ecore_Timer* _calTimer = nullptr;
    double _guardSeconds;
};
