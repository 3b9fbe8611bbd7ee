// Fetches the current sea-level pressure and temperature for a position from
// the chosen weather provider, one request at a time, under a watchdog.
#pragma once

#include <glib.h>

#include <string>

#include "HttpNetworkEventListner.h"
#include "WeatherData.h"

class ZentrelAltitudeMgrEvent {
  public:
    virtual ~ZentrelAltitudeMgrEvent() = default;
    virtual void OnDataReceived(WeatherDataPtr data) = 0;
    virtual void OnDataReceiveFailed() = 0;
};

class ZentrelAltitudeMgr : public HttpNetworkEventListner {
  public:
    enum RequestStatus {
        REQUEST_STATUS_INITIALIZED = -1,
        REQUEST_STATUS_WEATHER_INFO_REQUESTING = 0,
        REQUEST_STATUS_MAX = 1,
    };
    enum HuafengAccuStatus {
        HUAFENGACCU_STATUS_NONE = -1,
        HUAFENGACCU_STATUS_GET_LOCATION_INFO = 0,
        HUAFENGACCU_STATUS_GET_WEATHER_INFO = 1,
        HUAFENGACCU_STATUS_MAX = 2,
    };

    static const double INITIALIZE_POSITION;
    static const int DEFAULT_TIMEOUT;

    static ZentrelAltitudeMgr* getInstance();

    void SetEventListener(ZentrelAltitudeMgrEvent* eventListener);
    void Request(double latitude, double longitude, double timeOutMilliSec);
    void RequestCancel();

    void OnHttpRequestCompleted(HttpReqID reqID) override;
    void OnHttpRequestFailed() override;
    void OnHttpRequestCancelCompleted() override;
    void OnHttpResponseCompleted(HttpReqID reqID, Byte* responseData, int responseLen) override;
    void OnHttpResponseFailed(int reqID) override;

  protected:
    ZentrelAltitudeMgr() = default;
    ~ZentrelAltitudeMgr() override;

  private:
    ZentrelAltitudeMgr(const ZentrelAltitudeMgr&) = delete;
    ZentrelAltitudeMgr& operator=(const ZentrelAltitudeMgr&) = delete;

    void RequestWeatherInfo(double latitude, double longitude);
    void RequestLocationInfo(double latitude, double longitude);
    void OnRequestCompleted(WeatherDataPtr data);
    void OnRequestFailed();
    void StartRequestTimer(double timeMiliSec);
    void StopRequestTimer();
    static gboolean SRequestTimeOutCB(gpointer userData);
    void _sendRequest(const std::string& url);
    void _resetRequest();
    void _unregister();

    RequestStatus mRequestStatus = REQUEST_STATUS_INITIALIZED;
    HuafengAccuStatus mHuafengAccuStatus = HUAFENGACCU_STATUS_NONE;
    HttpReqID mHttpReqID = -1;
    HttpNetworkProxyReqID mNetworkProxyReqID = -1;
    gint mRequestTimer = 0;
    double mLatitude = INITIALIZE_POSITION;
    double mLongitude = INITIALIZE_POSITION;
    double mTimeOutMilliSec = 0.0;
    std::string mCityCode;
    ZentrelAltitudeMgrEvent* mEventListener = nullptr;
};
