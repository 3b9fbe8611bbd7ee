// Plain types shared by the HTTP engine, the broker and their callers.
#pragma once

#include <cstdint>
#include <memory>

typedef int32_t HttpReqID;
typedef int32_t HttpNetworkProxyReqID;
typedef uint8_t Byte;

class IHttpRequestData;
class IHttpResponseData;
class CurlHttpRequestData;
class CurlHttpResponseData;
class CurlHttpTotalPacketData;
class INetworkConnection;

typedef std::shared_ptr<IHttpRequestData> IHttpRequestDataPtr;
typedef std::shared_ptr<IHttpResponseData> IHttpResponseDataPtr;
typedef std::shared_ptr<CurlHttpRequestData> CurlHttpRequestDataPtr;
typedef std::shared_ptr<CurlHttpResponseData> CurlHttpResponseDataPtr;
typedef std::shared_ptr<CurlHttpTotalPacketData> CurlHttpTotalPacketDataPtr;
typedef std::shared_ptr<INetworkConnection> INetworkConnectionPtr;
