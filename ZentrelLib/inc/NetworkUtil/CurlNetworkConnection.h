// The HTTP engine: libcurl's multi interface driven by one worker thread,
// with results handed back to the GLib main loop through a pipe.
//
// Transfers run in batches. The first request while no batch exists creates
// the multi handle and the worker; later requests join the batch. While the
// worker lives it is the only thread that calls into the multi handle: the
// main loop only queues handles to add or retire under the mutex and wakes the
// worker. When nothing is running any more the worker posts one message and
// ends; the main loop then joins it and reports every finished transfer.
#pragma once

#include <curl/curl.h>
#include <glib.h>
#include <pthread.h>

#include <atomic>
#include <list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CurlHttpRequestData.h"
#include "CurlHttpResponseData.h"
#include "INetworkConnection.h"

class CurlNetworkConnection : public INetworkConnection {
  public:
    enum ThreadCurlState {
        THREAD_CURL_STATE_INITIALIZED = 0,
        THREAD_CURL_STATE_RESPONSE_COMPLETED = 1,
        THREAD_CURL_STATE_RESPONSE_FAILED = 2,
        THREAD_CURL_STATE_ALL_RESPONSE_DONE = 3,
    };

    // One transfer. The easy handle and header list are released by the
    // engine, not by this record.
    class CurlSingleEasySession {
      public:
        virtual ~CurlSingleEasySession() = default;

        CURL* mCurlSessionHandler = nullptr;
        curl_slist* mCurlHeaderOptions = nullptr;
        CurlHttpRequestDataPtr mCurlHttpRequestDataPtr;
        CurlHttpResponseDataPtr mCurlHttpResponseDataPtr;
        ThreadCurlState mCurlState = THREAD_CURL_STATE_INITIALIZED;
        // Whether the handle is inside the multi handle; only the worker (or
        // the main loop while no worker lives) adds it.
        bool mAddedToMulti = false;
    };
    typedef std::shared_ptr<CurlSingleEasySession> CurlSingleEasySessionPtr;

    // One batch.
    class CurlMultiSession {
      public:
        virtual ~CurlMultiSession() { mCurlSingleEasySessionList.clear(); }

        CURLM* mCurlMultiSession = nullptr;
        std::list<CurlSingleEasySessionPtr> mCurlSingleEasySessionList;
        // Cancelled transfers whose handles are still inside the multi
        // handle; the worker removes and frees them.
        std::vector<std::pair<CURL*, curl_slist*>> mRetiredHandles;
    };
    typedef std::shared_ptr<CurlMultiSession> CurlMultiSessionPtr;

    class PipeIOChannelData {
      public:
        virtual ~PipeIOChannelData() = default;

        GIOChannel* mGIOPipeChanel = nullptr;
        guint mPipeChanelID = 0;
        int mPipeFdArray[2] = {0, 0};
    };

    class PipeTransCurlData {
      public:
        virtual ~PipeTransCurlData() = default;

        ThreadCurlState mCurlState = THREAD_CURL_STATE_INITIALIZED;
    };

    static constexpr const char* INVALID_PROXY_IP_ADDRESS = "0.0.0.0";
    static constexpr const char* INVALID_PROXY_HTTP_ADDRESS = "http://0.0.0.0";
    static constexpr const char* SSL_CIPHER_OPTION_VALUE = "HIGH";
    static constexpr const char* ENCODING_OPTION_VALUE = "gzip,deflate";
    static constexpr long HTTP_RESPONSE_OK = 200;

    // Bounds on every transfer; one that passes any of them ends as a failed
    // answer. The defaults are far beyond what a weather answer needs.
    struct Limits {
        long connectTimeoutMs = 10000;
        // Slower than stallBytesPerSecond for stallSeconds is a stall.
        long stallBytesPerSecond = 100;
        long stallSeconds = 20;
        long totalTimeoutMs = 60000;
        size_t maxBodyBytes = 4 * 1024 * 1024;
        long maxRedirects = 5;
    };

    CurlNetworkConnection();
    ~CurlNetworkConnection() override;
    CurlNetworkConnection(const CurlNetworkConnection&) = delete;
    CurlNetworkConnection& operator=(const CurlNetworkConnection&) = delete;

    void HttpRequest(IHttpRequestDataPtr request) override;
    void CancelHttpRequest(IHttpRequestDataPtr request) override;
    void CancelHttpRequest(HttpReqID requestId) override;
    void CancelAllHttpRequest() override;

    // Applies to requests made from now on.
    void SetLimits(const Limits& limits) { mLimits = limits; }
    const Limits& GetLimits() const { return mLimits; }

  private:
    CURL* CreateEasyHandle(const CurlHttpRequestData& request, curl_slist* headers,
                           CurlHttpTotalPacketData* packet);
    void SetLimitOptions(CURL* handle, const std::string& url);
    curl_slist* CreateHeaderList(const CurlHttpRequestData& request);
    std::string GetSystemNetworkProxyAddressStr();

    // Creates the multi handle when none exists; true when it did.
    bool PrepareBatch();
    void DiscardEmptyBatch();
    // Starts the worker for a new batch, or wakes the running one.
    void LaunchBatch(bool newBatch);
    CURLMcode AppendEasySession(const CurlSingleEasySessionPtr& session);
    void ReleaseEasySession(const CurlSingleEasySessionPtr& session);
    void ReleaseRetiredHandles();

    bool StartThread();
    void StopThread();
    void WakeWorker();
    static void* StartCurlMultiMainLoop(void* data);
    void RunWorker();
    void SyncWorkerHandles();
    void CollectFinishedTransfers();
    void PostAllResponseDone();

    static size_t ResponseHttpPacketCB(char* data, size_t size, size_t count, void* userData);
    static int CurlDebugCB(CURL* handle, curl_infotype type, char* data, size_t size, void*);

    static gboolean SGIOPipeWatchCB(GIOChannel* channel, GIOCondition condition, gpointer data);
    void CheckThreadStatus(const void* buffer, size_t size);
    void ResponseHttpRequest();
    void FailWholeBatch();

    CurlSingleEasySessionPtr FindSingleEasySessiong(CURL* handle);
    CurlSingleEasySessionPtr FindSingleEasySessiong(HttpReqID requestId);
    IHttpRequestDataPtr DestoryHttpRequest(const CurlSingleEasySessionPtr& session);
    void DestoryAllHttpRequest();

    // For the main loop only.
    bool MutexLockImpl(const char* caller, int line);
    bool MutexUnlockImpl(const char* caller, int line);
    // The worker's way into the lock: it first lets a waiting main loop in,
    // so a busy transfer cannot starve a cancel.
    bool WorkerRelock();

    // One worker per process: the engine is a per-process singleton's member.
    static pthread_t mThread;

    PipeIOChannelData mPipeIOChanelData;
    CurlMultiSessionPtr mCurlMultiSessionPtr;
    pthread_mutex_t mThreadMutexHandler;
    std::atomic<bool> mStopRequested{false};
    // Main-loop callers waiting for the lock.
    std::atomic<int> mMainLoopWaiting{0};
    Limits mLimits;
};
