// The response of one libcurl transfer.
#pragma once

#include "CurlHttpTotalPacketData.h"
#include "IHttpResponseData.h"

class CurlHttpResponseData : public IHttpResponseData {
  public:
    CurlHttpTotalPacketDataPtr mCurlHttpPacketDataPtr;
};
