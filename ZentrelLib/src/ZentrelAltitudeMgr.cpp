#include "ZentrelAltitudeMgr.h"

#include "NetProxyHttpReqData.h"
#include "NetworkProxy.h"
#include "WeatherCpHuafengAccu.h"
#include "WeatherCpMgr.h"
#include "WeatherHuafengAccuParser.h"
#include "ZentrelLog.h"
#include "ZentrelLogging.h"

const double ZentrelAltitudeMgr::INITIALIZE_POSITION = -200.07;
const int ZentrelAltitudeMgr::DEFAULT_TIMEOUT = 500000;

ZentrelAltitudeMgr* ZentrelAltitudeMgr::getInstance() {
    static ZentrelAltitudeMgr instance;
    return &instance;
}

ZentrelAltitudeMgr::~ZentrelAltitudeMgr() {
    RequestCancel();
}

void ZentrelAltitudeMgr::SetEventListener(ZentrelAltitudeMgrEvent* eventListener) {
    ZLOG_BEGIN();
    if (eventListener) {
        mEventListener = eventListener;
    }
}

void ZentrelAltitudeMgr::Request(double latitude, double longitude, double timeOutMilliSec) {
    ZLOGI("Reqeust to CP");
    ZLOGD("timeOutMilliSec %lf", timeOutMilliSec);
    mTimeOutMilliSec = timeOutMilliSec;
    if (mRequestStatus != REQUEST_STATUS_INITIALIZED) {
        ZLOGW("exist request");
        return;
    }
    mNetworkProxyReqID = NetworkProxy::GetInstance()->RegisterHttpNetworkEventListener(this);
    ZLOGD("____mNetworkProxyReqID : %d", mNetworkProxyReqID);
    if (mNetworkProxyReqID < 0) {
        OnRequestFailed();
        return;
    }
    ZLOGI("WEATHER_CP_TYPE_HUAFENGACCU, mHuafengAccuStatus = %d", mHuafengAccuStatus);
    if (WeatherCpMgr::GetInstance()->GetWeatherCp() == WEATHER_CP_TYPE_HUAFENGACCU &&
        mHuafengAccuStatus == HUAFENGACCU_STATUS_NONE) {
        // The step is set before sending, since the engine may fail the
        // request synchronously and the failure resets it.
        mHuafengAccuStatus = HUAFENGACCU_STATUS_GET_LOCATION_INFO;
        mRequestStatus = REQUEST_STATUS_WEATHER_INFO_REQUESTING;
        RequestLocationInfo(latitude, longitude);
    } else {
        mRequestStatus = REQUEST_STATUS_WEATHER_INFO_REQUESTING;
        RequestWeatherInfo(latitude, longitude);
    }
    if (mRequestStatus == REQUEST_STATUS_WEATHER_INFO_REQUESTING && mTimeOutMilliSec > 0) {
        StartRequestTimer(mTimeOutMilliSec);
    }
}

void ZentrelAltitudeMgr::_sendRequest(const std::string& url) {
    NetProxyHttpReqData data;
    data.SetUrlStr(url);
    NetworkProxy::GetInstance()->HttpRequest(data, mNetworkProxyReqID);
}

void ZentrelAltitudeMgr::RequestWeatherInfo(double latitude, double longitude) {
    ZLOG_BEGIN();
    ZentrelLogging::getInstance()->sendKorvaneLog(REQUEST_WEATHER_INFO, nullptr, nullptr);
    mLatitude = latitude;
    mLongitude = longitude;
    _sendRequest(WeatherCpMgr::GetInstance()->GetUrl(latitude, longitude));
    ZLOG_END();
}

void ZentrelAltitudeMgr::RequestLocationInfo(double latitude, double longitude) {
    ZLOG_BEGIN();
    WeatherCpHuafengAccu provider;
    mLatitude = latitude;
    mLongitude = longitude;
    _sendRequest(provider.GetRequestLocationUrl(latitude, longitude));
    ZLOG_END();
}

void ZentrelAltitudeMgr::OnHttpRequestCompleted(HttpReqID reqID) {
    ZLOGD("request id : %d", reqID);
    mHttpReqID = reqID;
}

void ZentrelAltitudeMgr::OnHttpRequestFailed() {
    ZLOG_BEGIN();
    OnRequestFailed();
}

void ZentrelAltitudeMgr::OnHttpResponseFailed(int) {
    ZLOG_BEGIN();
    OnRequestFailed();
}

void ZentrelAltitudeMgr::OnHttpRequestCancelCompleted() {
    _unregister();
    _resetRequest();
    StopRequestTimer();
}

void ZentrelAltitudeMgr::OnHttpResponseCompleted(HttpReqID, Byte* responseData, int responseLen) {
    char* body = reinterpret_cast<char*>(responseData);
    ZLOGD("LENGTH: %d, RESPONSE_PACKET_DATA : %.*s", responseLen, responseLen, body ? body : "");
    if (WeatherCpMgr::GetInstance()->GetWeatherCp() == WEATHER_CP_TYPE_HUAFENGACCU) {
        ZLOGD("mHuafengAccuStatus %d", mHuafengAccuStatus);
        if (mHuafengAccuStatus == HUAFENGACCU_STATUS_GET_LOCATION_INFO) {
            ZLOGI("HUAFENGACCU_STATUS_GET_LOCATION_INFO");
            WeatherHuafengAccuParser parser;
            std::string key = parser.GetLocationKey(body, responseLen);
            WeatherCpHuafengAccu provider;
            provider.setLocationKey(key);
            mRequestStatus = REQUEST_STATUS_INITIALIZED;
            mHuafengAccuStatus = HUAFENGACCU_STATUS_GET_WEATHER_INFO;
            mHttpReqID = -1;
            _unregister();
            StopRequestTimer();
            Request(mLatitude, mLongitude, DEFAULT_TIMEOUT);
            ZLOG_END();
            return;
        }
        if (mHuafengAccuStatus == HUAFENGACCU_STATUS_GET_WEATHER_INFO) {
            ZLOGI("HUAFENGACCU_STATUS_GET_WEATHER_INFO");
        }
    }
    ZLOGI("Start weather data parsing");
    WeatherDataPtr data = WeatherCpMgr::GetInstance()->GetWeatherData(body, responseLen);
    if (!data) {
        WeatherCpMgr::GetInstance()->ReleaseParseData();
        OnRequestFailed();
    } else {
        mCityCode = data->GetCityCode();
        ZLOGI("City code [%s], SLP [%lf], Temp [%lf]", mCityCode.c_str(), data->GetAtmPressure(),
              data->getTemperature());
        data->SetLatitude(mLatitude);
        data->SetLongitude(mLongitude);
        OnRequestCompleted(data);
        WeatherCpMgr::GetInstance()->ReleaseParseData();
    }
    ZLOG_END();
}

void ZentrelAltitudeMgr::_resetRequest() {
    mRequestStatus = REQUEST_STATUS_INITIALIZED;
    mHuafengAccuStatus = HUAFENGACCU_STATUS_NONE;
    mHttpReqID = -1;
    mNetworkProxyReqID = -1;
    mLatitude = INITIALIZE_POSITION;
    mLongitude = INITIALIZE_POSITION;
}

void ZentrelAltitudeMgr::_unregister() {
    if (mNetworkProxyReqID >= 0) {
        NetworkProxy::GetInstance()->UnRegisterHttpNetworkEventListener(mNetworkProxyReqID);
    }
    mNetworkProxyReqID = -1;
}

void ZentrelAltitudeMgr::OnRequestCompleted(WeatherDataPtr data) {
    ZLOGI("Request completed !!! (%d)", mRequestStatus);
    _unregister();
    _resetRequest();
    StopRequestTimer();
    if (mEventListener) {
        mEventListener->OnDataReceived(data);
    }
}

void ZentrelAltitudeMgr::OnRequestFailed() {
    ZLOGE("Request failed !!! (%d)", mRequestStatus);
    _unregister();
    _resetRequest();
    StopRequestTimer();
    if (mEventListener) {
        mEventListener->OnDataReceiveFailed();
    }
}

void ZentrelAltitudeMgr::RequestCancel() {
    ZLOG_BEGIN();
    if (mHttpReqID >= 0) {
        NetworkProxy::GetInstance()->HttpCancel(mHttpReqID);
    }
    // Unregistering always: a registration without a request id would
    // otherwise stay behind and keep the broker's ids from resetting.
    _unregister();
    StopRequestTimer();
    mEventListener = nullptr;
    _resetRequest();
    ZLOG_END();
}

void ZentrelAltitudeMgr::StartRequestTimer(double timeMiliSec) {
    ZLOGD("timeMiliSec : %lf", timeMiliSec);
    if (mRequestTimer > 0) {
        ZLOGW("Already regiter timer");
        return;
    }
    mRequestTimer =
        static_cast<gint>(g_timeout_add(static_cast<guint>(timeMiliSec), SRequestTimeOutCB, this));
    if (mRequestTimer <= 0) {
        ZLOGE("Failed start timer");
    }
}

void ZentrelAltitudeMgr::StopRequestTimer() {
    if (mRequestTimer > 0) {
        g_source_remove(static_cast<guint>(mRequestTimer));
    }
    mRequestTimer = 0;
}

gboolean ZentrelAltitudeMgr::SRequestTimeOutCB(gpointer userData) {
    auto* self = static_cast<ZentrelAltitudeMgr*>(userData);
    ZLOGE("Timer expired");
    // The source ends with this call; forget it before the cancel removes it.
    self->mRequestTimer = 0;
    ZentrelAltitudeMgrEvent* listener = self->mEventListener;
    self->RequestCancel();
    if (listener) {
        listener->OnDataReceiveFailed();
    }
    return G_SOURCE_REMOVE;
}
