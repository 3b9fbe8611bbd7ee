// The watch's position for the automatic calibration, and the location switch.
#pragma once

#include <ostra/location_manager.h>

#include "IZentrelLocationListener.h"

class ZentrelLocationMgr {
  public:
    static ZentrelLocationMgr* getInstance();

    int createLocationMgr(IZentrelLocationListener* listener);
    void stopLocationMgr();
    void destroyLocationMgr();
    int getCurrentPosition(double* latitude, double* longitude, double* altitude);
    bool isGpsEnabled();
    bool isLocationEnabled();
    locationState getLocationState();
    void setLocationState(locationState state);
    int onLocationsetting(IZentrelLocationListener* listener);
    void unsetLocationsetting();

  protected:
    ZentrelLocationMgr() = default;
    virtual ~ZentrelLocationMgr();

  private:
    ZentrelLocationMgr(const ZentrelLocationMgr&) = delete;
    ZentrelLocationMgr& operator=(const ZentrelLocationMgr&) = delete;

    void _unsetEnablingResultCb();
    void _unsetSettingChangedCb();
    static void _serviceStateChangedCb(location_service_state_e state, void* userData);
    static void _enablingResultCb(int result, void* userData);
    static void _settingChangedCb(location_method_e method, bool enable, void* userData);

    locationState _locationState = DISABLED;
    location_manager_h _location_manager = nullptr;
    static IZentrelLocationListener* _listner;
};
