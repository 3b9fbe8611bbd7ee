// The process-wide broker between the components that need HTTP and the
// HTTP engine: callers register for a listener id, send plain request
// descriptions and hear back by request id. Main-loop thread only.
#pragma once

#include <map>

#include "HttpNetworkEventListner.h"
#include "INetworkConnection.h"
#include "INetworkConnectionEventListener.h"
#include "NetProxyHttpReqData.h"

class NetworkProxy : public INetworkConnectionEventListener {
  public:
    static NetworkProxy* GetInstance();

    // Returns the listener id, the existing one when already registered, or
    // -1 for a null listener.
    HttpNetworkProxyReqID RegisterHttpNetworkEventListener(HttpNetworkEventListner* listener);
    void UnRegisterHttpNetworkEventListener(HttpNetworkEventListner* listener);
    void UnRegisterHttpNetworkEventListener(HttpNetworkProxyReqID listenerId);

    // The listener hears OnHttpRequestCompleted (with the request id) or
    // OnHttpRequestFailed before this returns.
    void HttpRequest(const NetProxyHttpReqData& data, HttpNetworkProxyReqID listenerId);
    void HttpCancel(HttpReqID requestId);

    void OnHttpRequestCompleted(IHttpRequestDataPtr request) override;
    void OnHttpRequestFailed(IHttpRequestDataPtr request) override;
    void OnHttpRequestCancelCompleted(IHttpRequestDataPtr request) override;
    void OnHttpResponseCompleted(IHttpRequestDataPtr request,
                                 IHttpResponseDataPtr response) override;
    void OnHttpResponseFailed(IHttpRequestDataPtr request) override;

  private:
    NetworkProxy();
    ~NetworkProxy() override;
    NetworkProxy(const NetworkProxy&) = delete;
    NetworkProxy& operator=(const NetworkProxy&) = delete;

    HttpNetworkProxyReqID GetHttpNetworkProxyReqID();
    HttpReqID GetHttpReqID();
    HttpNetworkEventListner* FindHttpNetworkEventListner(HttpReqID requestId);
    void ResetRequestIdWhenNoListener();

    INetworkConnectionPtr mINetworkConnectionPtr;
    HttpNetworkProxyReqID mLastHttpNetworkProxyReqID = 0;
    std::map<HttpNetworkProxyReqID, HttpNetworkEventListner*> mHttpNetworkProxyEventListenerMap;
    HttpReqID mLastHttpReqID = 0;
    std::map<HttpReqID, HttpNetworkProxyReqID> mHttpRequestMap;
};
