// A request handed to the HTTP engine; the broker gives it its id.
#pragma once

#include "NetworkTypes.h"

class IHttpRequestData {
  public:
    virtual ~IHttpRequestData() = default;

    HttpReqID GetRequestId() const { return mRequestID; }
    void SetRequestId(HttpReqID requestId) { mRequestID = requestId; }

  protected:
    HttpReqID mRequestID = -1;
};
