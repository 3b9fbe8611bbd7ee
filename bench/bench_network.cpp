// Latency of one GET of a small JSON answer through NetworkProxy, from the
// request to the listener call, median of 50, and of a batch of 20 requests
// until the last answer, median of 10. The baseline is the curl command
// fetching the same URL (and the same 20 URLs in parallel) in the same run,
// process start included: what a program would pay without the engine.
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

double timeCurl(const std::string& curl, const std::string& url, int count) {
    std::vector<std::string> args = {curl, "-s", "--fail"};
    if (count > 1) {
        args.insert(args.end(), {"--parallel", "--parallel-max", std::to_string(count)});
    }
    for (int i = 0; i < count; ++i) {
        args.insert(args.end(), {"-o", "/dev/null", url});
    }
    std::vector<gchar*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    gint status = 0;
    gint64 start = g_get_monotonic_time();
    bool ran = g_spawn_sync(
        nullptr, argv.data(), nullptr,
        static_cast<GSpawnFlags>(G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL), nullptr,
        nullptr, nullptr, nullptr, &status, nullptr);
    double ms = (g_get_monotonic_time() - start) / 1000.0;
    return ran && g_spawn_check_wait_status(status, nullptr) ? ms : -1;
}

void report(const char* what, double measured, double baseline) {
    printf("%-34s engine %8.3f ms   curl command %8.3f ms   ratio engine/curl = %.2f\n", what,
           measured, baseline, baseline > 0 ? measured / baseline : -1.0);
}

}  // namespace

int main() {
    for (const char* name : {"https_proxy", "http_proxy", "HTTPS_PROXY", "HTTP_PROXY"}) {
        g_unsetenv(name);
    }
    gchar* curl = g_find_program_in_path("curl");
    if (!curl) {
        fprintf(stderr, "bench_network: the curl command is missing\n");
        return 1;
    }
    testsupport::TestHttpServer server(testsupport::TestHttpServer::Scheme::Http, kRoutes);
    if (!server.running()) {
        fprintf(stderr, "bench_network: the test server did not start\n");
        g_free(curl);
        return 1;
    }
    std::string url = server.url("/v1/current.json");
    NetworkProxy* proxy = NetworkProxy::GetInstance();
    CountingListener listener;
    int listenerId = proxy->RegisterHttpNetworkEventListener(&listener);

    // Warm both paths once (server threads, page cache, libcurl's first init).
    timeRequests(proxy, listener, listenerId, url, 1);
    timeCurl(curl, url, 1);

    std::vector<double> engineSingle, curlSingle, engineBatch, curlBatch;
    for (int i = 0; i < kSingleRuns; ++i) {
        engineSingle.push_back(timeRequests(proxy, listener, listenerId, url, 1));
        curlSingle.push_back(timeCurl(curl, url, 1));
    }
    for (int i = 0; i < kBatchRuns; ++i) {
        engineBatch.push_back(timeRequests(proxy, listener, listenerId, url, kBatchSize));
        curlBatch.push_back(timeCurl(curl, url, kBatchSize));
    }
    proxy->UnRegisterHttpNetworkEventListener(listenerId);
    g_free(curl);

    printf("answers %d, failures %d, %ld body bytes\n", listener.answers, listener.failures,
           listener.bytes);
    report("one GET, median of 50", median(engineSingle), median(curlSingle));
    report("20 GETs in one batch, median of 10", median(engineBatch), median(curlBatch));
    return listener.failures == 0 && median(curlSingle) > 0 ? 0 : 1;
}
