// A finished response as the HTTP engine reports it.
#pragma once

class IHttpResponseData {
  public:
    virtual ~IHttpResponseData() = default;
};
