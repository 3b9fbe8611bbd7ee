// Receives the HTTP engine's events, always on the main-loop thread.
#pragma once

#include "NetworkTypes.h"

class INetworkConnectionEventListener {
  public:
    virtual ~INetworkConnectionEventListener() = default;
    virtual void OnHttpRequestCompleted(IHttpRequestDataPtr request) = 0;
    virtual void OnHttpRequestFailed(IHttpRequestDataPtr request) = 0;
    virtual void OnHttpRequestCancelCompleted(IHttpRequestDataPtr request) = 0;
    virtual void OnHttpResponseCompleted(IHttpRequestDataPtr request,
                                         IHttpResponseDataPtr response) = 0;
    virtual void OnHttpResponseFailed(IHttpRequestDataPtr request) = 0;
};
