// Latency of one GET of a small JSON answer through NetworkProxy, from the
// request to the listener call, median of 50, and of a batch of 20 requests
// until the last answer, median of 10. The baseline is libcurl in the same
// process fetching the same URL (and the same 20 URLs in parallel through one
// multi handle, fresh handles and connections each time, as the engine uses):
// what the engine's thread, pipe and main-loop hand-over cost on top.
#include <curl/curl.h>
#include <glib.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "NetworkProxy.h"
#include "TestHttpServer.h"

namespace {

constexpr int kSingleRuns = 50;
constexpr int kBatchRuns = 10;
constexpr int kBatchSize = 20;
constexpr const char* kRoutes =
    R"({"/v1/current.json": {"body": {"observation": {"pressure": 1013.2, "temp": 21.5,)"
    R"( "station": "Zentrel test"}}}})";

class CountingListener : public HttpNetworkEventListner {
  public:
    void OnHttpRequestCompleted(HttpReqID) override {}
    void OnHttpRequestFailed() override { ++failures; }
    void OnHttpRequestCancelCompleted() override {}
    void OnHttpResponseCompleted(HttpReqID, Byte*, int length) override {
        ++answers;
        bytes += length;
    }
    void OnHttpResponseFailed(int) override { ++failures; }

    int answers = 0;
    int failures = 0;
    long bytes = 0;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

// Milliseconds until `count` more answers (or failures) have arrived.
double timeRequests(NetworkProxy* proxy, CountingListener& listener, int listenerId,
                    const std::string& url, int count) {
    NetProxyHttpReqData data;
    data.SetUrlStr(url);
    int target = listener.answers + listener.failures + count;
    gint64 start = g_get_monotonic_time();
    for (int i = 0; i < count; ++i) {
        proxy->HttpRequest(data, listenerId);
    }
    while (listener.answers + listener.failures < target) {
        g_main_context_iteration(nullptr, TRUE);
    }
    return (g_get_monotonic_time() - start) / 1000.0;
}

size_t countBytes(char*, size_t size, size_t count, void* total) {
    *static_cast<long*>(total) += static_cast<long>(size * count);
    return size * count;
}

// Milliseconds for count GETs run together by plain libcurl on this thread;
// -1 when any of them failed.
double timeLibcurl(const std::string& url, int count) {
    gint64 start = g_get_monotonic_time();
    CURLM* multi = curl_multi_init();
    long bytes = 0;
    for (int i = 0; i < count; ++i) {
        CURL* handle = curl_easy_init();
        curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
        curl_easy_setopt(handle, CURLOPT_PROXY, "");
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, countBytes);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, &bytes);
        curl_multi_add_handle(multi, handle);
    }
    int running = 1;
    while (running > 0) {
        curl_multi_perform(multi, &running);
        if (running > 0) {
            curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
        }
    }
    int ok = 0;
    int remaining = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &remaining)) {
        long code = 0;
        curl_easy_getinfo(message->easy_handle, CURLINFO_RESPONSE_CODE, &code);
        ok += message->msg == CURLMSG_DONE && message->data.result == CURLE_OK && code == 200;
        curl_multi_remove_handle(multi, message->easy_handle);
        curl_easy_cleanup(message->easy_handle);
    }
    curl_multi_cleanup(multi);
    double ms = (g_get_monotonic_time() - start) / 1000.0;
    return ok == count && bytes > 0 ? ms : -1;
}

void report(const char* what, double measured, double baseline) {
    printf("%-34s engine %8.3f ms   libcurl %8.3f ms   ratio engine/libcurl = %.2f\n", what,
           measured, baseline, baseline > 0 ? measured / baseline : -1.0);
}

}  // namespace

int main() {
    for (const char* name : {"https_proxy", "http_proxy", "HTTPS_PROXY", "HTTP_PROXY"}) {
        g_unsetenv(name);
    }
    testsupport::TestHttpServer server(testsupport::TestHttpServer::Scheme::Http, kRoutes);
    if (!server.running()) {
        fprintf(stderr, "bench_network: the test server did not start\n");
        return 1;
    }
    std::string url = server.url("/v1/current.json");
    NetworkProxy* proxy = NetworkProxy::GetInstance();
    CountingListener listener;
    int listenerId = proxy->RegisterHttpNetworkEventListener(&listener);

    // Warm both paths once (server threads, page cache, libcurl's first init).
    timeRequests(proxy, listener, listenerId, url, 1);
    timeLibcurl(url, 1);

    std::vector<double> engineSingle, curlSingle, engineBatch, curlBatch;
    for (int i = 0; i < kSingleRuns; ++i) {
        engineSingle.push_back(timeRequests(proxy, listener, listenerId, url, 1));
        curlSingle.push_back(timeLibcurl(url, 1));
    }
    for (int i = 0; i < kBatchRuns; ++i) {
        engineBatch.push_back(timeRequests(proxy, listener, listenerId, url, kBatchSize));
        curlBatch.push_back(timeLibcurl(url, kBatchSize));
    }
    proxy->UnRegisterHttpNetworkEventListener(listenerId);

    printf("answers %d, failures %d, %ld body bytes\n", listener.answers, listener.failures,
           listener.bytes);
    report("one GET, median of 50", median(engineSingle), median(curlSingle));
    report("20 GETs in one batch, median of 10", median(engineBatch), median(curlBatch));
    bool baselineOk = *std::min_element(curlSingle.begin(), curlSingle.end()) > 0 &&
                      *std::min_element(curlBatch.begin(), curlBatch.end()) > 0;
    return listener.failures == 0 && baselineOk ? 0 : 1;
}
