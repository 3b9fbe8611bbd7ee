// The HTTP engine interface: queue, cancel and discard transfers; the one
// registered listener hears how each request fares.
#pragma once

#include "INetworkConnectionEventListener.h"
#include "NetworkTypes.h"

class INetworkConnection {
  public:
    virtual ~INetworkConnection() = default;
    virtual void HttpRequest(IHttpRequestDataPtr request) = 0;
    virtual void CancelHttpRequest(IHttpRequestDataPtr request) = 0;
    virtual void CancelHttpRequest(HttpReqID requestId) = 0;
    virtual void CancelAllHttpRequest() = 0;

    // The listener is not owned; it must outlive the engine or unregister first.
    void RegisterNetworkConnectionEventListener(INetworkConnectionEventListener* listener) {
        mNetworkConnectionEventListener = listener;
    }

  protected:
    void OnHttpRequestCompleted(IHttpRequestDataPtr request);
    void OnHttpRequestFailed(IHttpRequestDataPtr request);
    void OnHttpRequstCancelCompleted(IHttpRequestDataPtr request);
    void OnHttpResponseCompleted(IHttpRequestDataPtr request, IHttpResponseDataPtr response);
    void OnHttpResponseFailed(IHttpRequestDataPtr request);

    INetworkConnectionEventListener* mNetworkConnectionEventListener = nullptr;
};
