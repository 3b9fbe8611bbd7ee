// What a caller of the network broker hears, by request id, on the main loop.
#pragma once

#include "NetworkTypes.h"

class HttpNetworkEventListner {
  public:
    virtual ~HttpNetworkEventListner() = default;
    // The request was accepted under this id.
    virtual void OnHttpRequestCompleted(HttpReqID requestId) = 0;
    virtual void OnHttpRequestFailed() = 0;
    virtual void OnHttpRequestCancelCompleted() = 0;
    // The body is not NUL-terminated and is valid only during the call.
    virtual void OnHttpResponseCompleted(HttpReqID requestId, Byte* body, int length) = 0;
    virtual void OnHttpResponseFailed(int requestId) = 0;
};
