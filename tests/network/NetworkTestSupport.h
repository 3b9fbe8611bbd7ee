// Shared pieces of the network tests: an engine listener that records what
// it hears, and an environment without proxies that trusts the test CA.
#pragma once

#include <stdlib.h>

#include <string>
#include <vector>

#include "CurlHttpRequestData.h"
#include "CurlHttpResponseData.h"
#include "INetworkConnectionEventListener.h"

namespace nettest {

struct EngineEvent {
    std::string kind;  // "accepted", "rejected", "cancel-completed", "response", "failed"
    HttpReqID id;
    std::string body;
    bool nullBody = false;
};

class RecordingEngineListener : public INetworkConnectionEventListener {
  public:
    void OnHttpRequestCompleted(IHttpRequestDataPtr request) override {
        events.push_back({"accepted", request->GetRequestId(), "", false});
    }
    void OnHttpRequestFailed(IHttpRequestDataPtr request) override {
        events.push_back({"rejected", request->GetRequestId(), "", false});
    }
    void OnHttpRequestCancelCompleted(IHttpRequestDataPtr request) override {
        events.push_back({"cancel-completed", request->GetRequestId(), "", false});
    }
    void OnHttpResponseCompleted(IHttpRequestDataPtr request,
                                 IHttpResponseDataPtr response) override {
        auto curl = std::dynamic_pointer_cast<CurlHttpResponseData>(response);
        const auto& packet = *curl->mCurlHttpPacketDataPtr;
        std::string body(reinterpret_cast<const char*>(packet.mTotalBody.get()),
                         packet.mTotalBody ? packet.mTotalBodyLen : 0);
        events.push_back({"response", request->GetRequestId(), body, !packet.mTotalBody});
    }
    void OnHttpResponseFailed(IHttpRequestDataPtr request) override {
        events.push_back({"failed", request->GetRequestId(), "", false});
    }

    int count(const std::string& kind) const {
        int n = 0;
        for (const auto& event : events) {
            n += event.kind == kind ? 1 : 0;
        }
        return n;
    }
    int finished() const { return count("response") + count("failed"); }
    const EngineEvent* find(const std::string& kind, HttpReqID id) const {
        for (const auto& event : events) {
            if (event.kind == kind && event.id == id) {
                return &event;
            }
        }
        return nullptr;
    }

    std::vector<EngineEvent> events;
};

inline IHttpRequestDataPtr makeRequest(HttpReqID id, const std::string& url) {
    auto request = std::make_shared<CurlHttpRequestData>();
    request->SetRequestId(id);
    request->SetURLStr(url);
    return request;
}

inline void clearProxyEnvironment() {
    for (const char* name : {"https_proxy", "http_proxy", "HTTPS_PROXY", "HTTP_PROXY", "all_proxy",
                             "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
        unsetenv(name);
    }
}

}  // namespace nettest
