#include "NetworkProxy.h"

#include "CurlHttpRequestData.h"
#include "CurlHttpResponseData.h"
#include "CurlNetworkConnection.h"
#include "LogRedaction.h"
#include "ZentrelLog.h"

NetworkProxy* NetworkProxy::GetInstance() {
    static NetworkProxy instance;
    return &instance;
}

NetworkProxy::NetworkProxy() : mINetworkConnectionPtr(std::make_shared<CurlNetworkConnection>()) {
    mINetworkConnectionPtr->RegisterNetworkConnectionEventListener(this);
}

NetworkProxy::~NetworkProxy() {
    mHttpNetworkProxyEventListenerMap.clear();
    mHttpRequestMap.clear();
    mINetworkConnectionPtr.reset();
}

HttpNetworkProxyReqID NetworkProxy::RegisterHttpNetworkEventListener(
    HttpNetworkEventListner* listener) {
    if (!listener) {
        ZLOGE("Invalid listener");
        return -1;
    }
    for (const auto& entry : mHttpNetworkProxyEventListenerMap) {
        if (entry.second == listener) {
            ZLOGW("Already register listener");
            return entry.first;
        }
    }
    HttpNetworkProxyReqID listenerId = GetHttpNetworkProxyReqID();
    mHttpNetworkProxyEventListenerMap[listenerId] = listener;
    return listenerId;
}

void NetworkProxy::UnRegisterHttpNetworkEventListener(HttpNetworkEventListner* listener) {
    for (auto it = mHttpNetworkProxyEventListenerMap.begin();
         it != mHttpNetworkProxyEventListenerMap.end(); ++it) {
        if (it->second == listener) {
            mHttpNetworkProxyEventListenerMap.erase(it);
            break;
        }
    }
    ResetRequestIdWhenNoListener();
}

void NetworkProxy::UnRegisterHttpNetworkEventListener(HttpNetworkProxyReqID listenerId) {
    mHttpNetworkProxyEventListenerMap.erase(listenerId);
    ResetRequestIdWhenNoListener();
}

void NetworkProxy::ResetRequestIdWhenNoListener() {
    if (mHttpNetworkProxyEventListenerMap.empty()) {
        mLastHttpReqID = 0;
    }
}

void NetworkProxy::HttpRequest(const NetProxyHttpReqData& data, HttpNetworkProxyReqID listenerId) {
    if (mHttpNetworkProxyEventListenerMap.find(listenerId) ==
        mHttpNetworkProxyEventListenerMap.end()) {
        ZLOGE("Invalid networkReqID");
        return;
    }
    const std::string& url = data.GetUrlStr();
    if (url.empty()) {
        // Sent all the same: the transfer fails and the caller hears so.
        ZLOGD("Invalid urlStr");
    }
    auto request = std::make_shared<CurlHttpRequestData>();
    HttpReqID requestId = GetHttpReqID();
    request->SetRequestId(requestId);
    request->SetURLStr(url);
    if (!data.GetDataFiledStr().empty()) {
        request->SetDataFieldStr(data.GetDataFiledStr());
    }
    for (const auto& option : data.GetHeaderOptionStrList()) {
        if (option.empty()) {
            continue;
        }
        ZLOGD("optionStr : %s", LogRedaction::RedactHeaderLine(option).c_str());
        request->AppendCustomHeaderList(option);
    }
    mHttpRequestMap[requestId] = listenerId;
    mINetworkConnectionPtr->HttpRequest(request);
}

void NetworkProxy::HttpCancel(HttpReqID requestId) {
    if (mHttpRequestMap.find(requestId) == mHttpRequestMap.end()) {
        ZLOGE("Invalid reqID");
        return;
    }
    if (!mINetworkConnectionPtr) {
        ZLOGE("Invalid network proxyt ptr");
        return;
    }
    mINetworkConnectionPtr->CancelHttpRequest(requestId);
    // No further event will name this id, so it no longer holds the numbering.
    mHttpRequestMap.erase(requestId);
}

HttpNetworkProxyReqID NetworkProxy::GetHttpNetworkProxyReqID() {
    if (mHttpNetworkProxyEventListenerMap.empty()) {
        mLastHttpNetworkProxyReqID = 0;
        return 0;
    }
    return ++mLastHttpNetworkProxyReqID;
}

HttpReqID NetworkProxy::GetHttpReqID() {
    if (mHttpRequestMap.empty()) {
        mLastHttpReqID = 0;
        return 0;
    }
    return ++mLastHttpReqID;
}

HttpNetworkEventListner* NetworkProxy::FindHttpNetworkEventListner(HttpReqID requestId) {
    auto request = mHttpRequestMap.find(requestId);
    if (request == mHttpRequestMap.end()) {
        ZLOGE("invalid request id");
        return nullptr;
    }
    auto listener = mHttpNetworkProxyEventListenerMap.find(request->second);
    return listener == mHttpNetworkProxyEventListenerMap.end() ? nullptr : listener->second;
}

void NetworkProxy::OnHttpRequestCompleted(IHttpRequestDataPtr request) {
    HttpReqID requestId = request->GetRequestId();
    HttpNetworkEventListner* listener = FindHttpNetworkEventListner(requestId);
    if (listener) {
        listener->OnHttpRequestCompleted(requestId);
    }
}

void NetworkProxy::OnHttpRequestFailed(IHttpRequestDataPtr request) {
    HttpReqID requestId = request->GetRequestId();
    HttpNetworkEventListner* listener = FindHttpNetworkEventListner(requestId);
    mHttpRequestMap.erase(requestId);
    if (listener) {
        listener->OnHttpRequestFailed();
    }
}

void NetworkProxy::OnHttpRequestCancelCompleted(IHttpRequestDataPtr request) {
    HttpReqID requestId = request->GetRequestId();
    HttpNetworkEventListner* listener = FindHttpNetworkEventListner(requestId);
    mHttpRequestMap.erase(requestId);
    if (listener) {
        listener->OnHttpRequestCancelCompleted();
    }
}

void NetworkProxy::OnHttpResponseCompleted(IHttpRequestDataPtr request,
                                           IHttpResponseDataPtr response) {
    HttpReqID requestId = request->GetRequestId();
    HttpNetworkEventListner* listener = FindHttpNetworkEventListner(requestId);
    mHttpRequestMap.erase(requestId);
    if (!listener) {
        return;
    }
    auto curlResponse = std::dynamic_pointer_cast<CurlHttpResponseData>(response);
    if (!curlResponse || !curlResponse->mCurlHttpPacketDataPtr) {
        ZLOGE("response dataPtr is null point");
        listener->OnHttpResponseFailed(requestId);
        return;
    }
    const CurlHttpTotalPacketData& packet = *curlResponse->mCurlHttpPacketDataPtr;
    int length = static_cast<int>(packet.mTotalBodyLen);
    // The body carries no terminating NUL: print exactly its length.
    const char* text =
        packet.mTotalBody ? reinterpret_cast<const char*>(packet.mTotalBody.get()) : "";
    ZLOGD("Response body [%.*s]", length, text);
    listener->OnHttpResponseCompleted(requestId, packet.mTotalBody.get(), length);
}

void NetworkProxy::OnHttpResponseFailed(IHttpRequestDataPtr request) {
    HttpReqID requestId = request->GetRequestId();
    HttpNetworkEventListner* listener = FindHttpNetworkEventListner(requestId);
    mHttpRequestMap.erase(requestId);
    if (listener) {
        listener->OnHttpResponseFailed(requestId);
    }
}
