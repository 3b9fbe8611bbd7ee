#include "CurlNetworkConnection.h"

#include <fcntl.h>
#include <ostra/connection.h>
#include <ostra/curl_loader.h>
#include <sched.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <new>

#include "LogRedaction.h"
#include "ZentrelLog.h"

#define MUTEX_LOCK() MutexLockImpl(__func__, __LINE__)
#define MUTEX_UNLOCK() MutexUnlockImpl(__func__, __LINE__)

pthread_t CurlNetworkConnection::mThread = 0;

namespace {

// Idle sockets are re-checked at least every two seconds; libcurl's own
// timer shortens the wait when it needs to act sooner.
int WaitMilliseconds(long curlTimeout) {
    return 1000 + (curlTimeout > 0 ? static_cast<int>(curlTimeout % 1000) : 0);
}

// libcurl is loaded (and set up for the process) by the first request; every
// call below runs after HttpRequest found it loaded.
const ostra_curl_api& Curl() {
    return *ostra_curl();
}

template <typename Value>
void SetOption(CURL* handle, CURLoption option, Value value, const char* failure) {
    if (Curl().easy_setopt(handle, option, value) != CURLE_OK) {
        ZLOGE("%s", failure);
    }
}

}  // namespace

CurlNetworkConnection::CurlNetworkConnection() {
    pthread_mutex_init(&mThreadMutexHandler, nullptr);
}

CurlNetworkConnection::~CurlNetworkConnection() {
    // Discards whatever is left; an idle engine has nothing to discard.
    StopThread();
    if (mCurlMultiSessionPtr && mCurlMultiSessionPtr->mCurlMultiSession) {
        DestoryAllHttpRequest();
    }
    mCurlMultiSessionPtr.reset();
    pthread_mutex_destroy(&mThreadMutexHandler);
}

void CurlNetworkConnection::HttpRequest(IHttpRequestDataPtr request) {
    ZLOG_BEGIN();
    auto curlRequest = std::dynamic_pointer_cast<CurlHttpRequestData>(request);
    if (!curlRequest) {
        ZLOGE("Invalid httpRequestDataPtr");
        return;
    }
    if (!ostra_curl()) {
        ZLOGE("no HTTP library: the request fails");
        OnHttpRequestFailed(request);
        return;
    }
    auto session = std::make_shared<CurlSingleEasySession>();
    session->mCurlHttpRequestDataPtr = curlRequest;
    session->mCurlHttpResponseDataPtr = std::make_shared<CurlHttpResponseData>();
    session->mCurlHttpResponseDataPtr->mCurlHttpPacketDataPtr =
        std::make_shared<CurlHttpTotalPacketData>();
    session->mCurlHeaderOptions = CreateHeaderList(*curlRequest);
    session->mCurlSessionHandler =
        CreateEasyHandle(*curlRequest, session->mCurlHeaderOptions,
                         session->mCurlHttpResponseDataPtr->mCurlHttpPacketDataPtr.get());

    bool newBatch = PrepareBatch();
    if (AppendEasySession(session) != CURLM_OK) {
        ZLOGE("Failed append easy session");
        ReleaseEasySession(session);
        if (newBatch) {
            DiscardEmptyBatch();
        }
        OnHttpRequestFailed(request);
        return;
    }
    OnHttpRequestCompleted(request);
    LaunchBatch(newBatch);
    ZLOG_END();
}

void CurlNetworkConnection::CancelHttpRequest(IHttpRequestDataPtr request) {
    auto curlRequest = std::dynamic_pointer_cast<CurlHttpRequestData>(request);
    if (!curlRequest) {
        ZLOGE("Failed get curlHttpRequestDataPtr curl multi session");
        return;
    }
    CancelHttpRequest(curlRequest->GetRequestId());
}

void CurlNetworkConnection::CancelHttpRequest(HttpReqID requestId) {
    if (!mCurlMultiSessionPtr || !mCurlMultiSessionPtr->mCurlMultiSession) {
        ZLOGE("Failed get curl multi session");
        return;
    }
    if (!MUTEX_LOCK()) {
        return;
    }
    CurlSingleEasySessionPtr session = FindSingleEasySessiong(requestId);
    if (!session) {
        ZLOGE("Failed find curl single easy session ptr");
        MUTEX_UNLOCK();
        return;
    }
    IHttpRequestDataPtr cancelled = DestoryHttpRequest(session);
    MUTEX_UNLOCK();
    WakeWorker();
    // Raised outside the lock so the listener may call back into the engine.
    if (cancelled) {
        OnHttpRequestCompleted(cancelled);
    }
}

void CurlNetworkConnection::CancelAllHttpRequest() {
    StopThread();
    DestoryAllHttpRequest();
}

curl_slist* CurlNetworkConnection::CreateHeaderList(const CurlHttpRequestData& request) {
    const auto& lines = request.GetCustomHeaderList();
    ZLOGD("size : %d", static_cast<int>(lines.size()));
    curl_slist* headers = nullptr;
    for (const auto& line : lines) {
        if (line.empty()) {
            continue;
        }
        curl_slist* grown = Curl().slist_append(headers, line.c_str());
        if (!grown) {
            ZLOGE("Failed curl_slist_append");
            continue;
        }
        headers = grown;
    }
    return headers;
}

CURL* CurlNetworkConnection::CreateEasyHandle(const CurlHttpRequestData& request,
                                              curl_slist* headers,
                                              CurlHttpTotalPacketData* packet) {
    CURL* handle = Curl().easy_init();
    if (!handle) {
        ZLOGE("Failed curl_easy_init");
        return nullptr;
    }
    ZLOGD("URL [%s]", LogRedaction::RedactText(request.GetURLStr()).c_str());
    SetOption(handle, CURLOPT_VERBOSE, 1L, "Failed CURLOPT_VERBOSE option");
    // libcurl's trace goes to the log, not to stderr.
    SetOption(handle, CURLOPT_DEBUGFUNCTION, CurlDebugCB, "Failed CURLOPT_DEBUGFUNCTION option");
    SetOption(handle, CURLOPT_URL, request.GetURLStr().c_str(), "Failed CURLOPT_URL option");
    // Always set: an empty proxy also stops libcurl from reading the proxy
    // environment on its own, where "0.0.0.0" would send it nowhere.
    std::string proxy = GetSystemNetworkProxyAddressStr();
    SetOption(handle, CURLOPT_PROXY, proxy.c_str(), "Failed proxy option");
    if (headers) {
        SetOption(handle, CURLOPT_HTTPHEADER, headers, "Failed CURLOPT_HTTPHEADER option");
    }
    SetLimitOptions(handle, request.GetURLStr());
    SetOption(handle, CURLOPT_NOPROGRESS, 1L, "Failed CURLOPT_NOPROGRESS option");
    SetOption(handle, CURLOPT_SSL_CIPHER_LIST, SSL_CIPHER_OPTION_VALUE,
              "Failed CURLOPT_SSL_CIPHER_LIST option");
    const std::string& body = request.GetDataFieldStr();
    if (!body.empty()) {
        // The transfer record keeps the request, so the bytes outlive the
        // transfer; the size makes a body with NUL bytes go out whole.
        SetOption(handle, CURLOPT_POSTFIELDS, body.c_str(), "Failed CURLOPT_POST option");
        SetOption(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()),
                  "Failed CURLOPT_POST option");
    }
    SetOption(handle, CURLOPT_POST, body.empty() ? 0L : 1L, "Failed CURLOPT_POST option");
    SetOption(handle, CURLOPT_WRITEFUNCTION, ResponseHttpPacketCB,
              "Failed CURLOPT_WRITEFUNCTION option");
    SetOption(handle, CURLOPT_WRITEDATA, packet, "Failed CURLOPT_WRITEDATA option");
    SetOption(handle, CURLOPT_ACCEPT_ENCODING, ENCODING_OPTION_VALUE,
              "Failed CURLOPT_ENCODING option");
    char* caFile = ostra_connection_get_ca_file();
    SetOption(handle, CURLOPT_CAINFO, caFile, "Failed CURLOPT_CAINFO option");
    free(caFile);
    packet->mMaxBodyLen = mLimits.maxBodyBytes;
    return handle;
}

void CurlNetworkConnection::SetLimitOptions(CURL* handle, const std::string& url) {
    SetOption(handle, CURLOPT_CONNECTTIMEOUT_MS, mLimits.connectTimeoutMs,
              "Failed CURLOPT_CONNECTTIMEOUT_MS option");
    SetOption(handle, CURLOPT_LOW_SPEED_LIMIT, mLimits.stallBytesPerSecond,
              "Failed CURLOPT_LOW_SPEED_LIMIT option");
    SetOption(handle, CURLOPT_LOW_SPEED_TIME, mLimits.stallSeconds,
              "Failed CURLOPT_LOW_SPEED_TIME option");
    SetOption(handle, CURLOPT_TIMEOUT_MS, mLimits.totalTimeoutMs,
              "Failed CURLOPT_TIMEOUT_MS option");
    // A declared length beyond the limit ends the transfer before any byte;
    // the write callback holds the line for bodies of unknown length.
    SetOption(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(mLimits.maxBodyBytes),
              "Failed CURLOPT_MAXFILESIZE_LARGE option");
    SetOption(handle, CURLOPT_FOLLOWLOCATION, 1L, "Failed CURLOPT_FOLLOWLOCATION option");
    SetOption(handle, CURLOPT_MAXREDIRS, mLimits.maxRedirects, "Failed CURLOPT_MAXREDIRS option");
    SetOption(handle, CURLOPT_PROTOCOLS_STR, "http,https", "Failed CURLOPT_PROTOCOLS_STR option");
    // What came over TLS is never handed on over plain HTTP.
    bool secure = g_ascii_strncasecmp(url.c_str(), "https:", 6) == 0;
    SetOption(handle, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https",
              "Failed CURLOPT_REDIR_PROTOCOLS_STR option");
}

std::string CurlNetworkConnection::GetSystemNetworkProxyAddressStr() {
    connection_h connection = nullptr;
    if (connection_create(&connection) != CONNECTION_ERROR_NONE) {
        ZLOGE("Failed Create connection handler");
        return "";
    }
    char* address = nullptr;
    int result = connection_get_proxy(connection, CONNECTION_ADDRESS_FAMILY_IPV4, &address);
    connection_destroy(connection);
    std::string proxy = result == CONNECTION_ERROR_NONE && address ? address : "";
    free(address);
    if (proxy.empty() || proxy == INVALID_PROXY_HTTP_ADDRESS || proxy == INVALID_PROXY_IP_ADDRESS) {
        // No proxy is the usual case on a host, so this is no failure.
        ZLOGD("Invalid proxy address");
        return "";
    }
    ZLOGD("%s", proxy.c_str());
    return proxy;
}

bool CurlNetworkConnection::PrepareBatch() {
    if (!mCurlMultiSessionPtr) {
        mCurlMultiSessionPtr = std::make_shared<CurlMultiSession>();
    }
    if (mCurlMultiSessionPtr->mCurlMultiSession) {
        return false;
    }
    mCurlMultiSessionPtr->mCurlMultiSession = Curl().multi_init();
    if (!mCurlMultiSessionPtr->mCurlMultiSession) {
        ZLOGE("Failed curl_multi_init");
        return false;
    }
    return true;
}

void CurlNetworkConnection::DiscardEmptyBatch() {
    // No worker would ever drive a batch whose first transfer was refused.
    Curl().multi_cleanup(mCurlMultiSessionPtr->mCurlMultiSession);
    mCurlMultiSessionPtr->mCurlMultiSession = nullptr;
}

void CurlNetworkConnection::LaunchBatch(bool newBatch) {
    if (!newBatch) {
        WakeWorker();
        return;
    }
    // The listener may have discarded the batch or started it from its event.
    if (mThread != 0 || !mCurlMultiSessionPtr || !mCurlMultiSessionPtr->mCurlMultiSession) {
        return;
    }
    if (!StartThread()) {
        FailWholeBatch();
    }
}

CURLMcode CurlNetworkConnection::AppendEasySession(const CurlSingleEasySessionPtr& session) {
    if (!session || !session->mCurlSessionHandler) {
        ZLOGE("[Failed] Invalid curlSingleEasySessiongPtr");
        return CURLM_INTERNAL_ERROR;
    }
    if (!MUTEX_LOCK()) {
        return CURLM_INTERNAL_ERROR;
    }
    if (!mCurlMultiSessionPtr || !mCurlMultiSessionPtr->mCurlMultiSession) {
        ZLOGE("Failed get multi session or easy session list");
        MUTEX_UNLOCK();
        return CURLM_INTERNAL_ERROR;
    }
    // Without a worker the handle goes in now, so a refusal is reported at
    // once; a running worker adds it itself on its next round.
    if (mThread == 0) {
        if (Curl().multi_add_handle(mCurlMultiSessionPtr->mCurlMultiSession,
                                    session->mCurlSessionHandler) != CURLM_OK) {
            ZLOGE("[Failed] curl_multi_add_handle");
            MUTEX_UNLOCK();
            return CURLM_INTERNAL_ERROR;
        }
        session->mAddedToMulti = true;
    }
    mCurlMultiSessionPtr->mCurlSingleEasySessionList.push_back(session);
    MUTEX_UNLOCK();
    return CURLM_OK;
}

void CurlNetworkConnection::ReleaseEasySession(const CurlSingleEasySessionPtr& session) {
    if (session->mAddedToMulti && mCurlMultiSessionPtr && mCurlMultiSessionPtr->mCurlMultiSession) {
        Curl().multi_remove_handle(mCurlMultiSessionPtr->mCurlMultiSession,
                                   session->mCurlSessionHandler);
    }
    session->mAddedToMulti = false;
    if (session->mCurlSessionHandler) {
        Curl().easy_cleanup(session->mCurlSessionHandler);
        session->mCurlSessionHandler = nullptr;
    }
    if (session->mCurlHeaderOptions) {
        Curl().slist_free_all(session->mCurlHeaderOptions);
        session->mCurlHeaderOptions = nullptr;
    }
}

void CurlNetworkConnection::ReleaseRetiredHandles() {
    for (auto& retired : mCurlMultiSessionPtr->mRetiredHandles) {
        Curl().multi_remove_handle(mCurlMultiSessionPtr->mCurlMultiSession, retired.first);
        Curl().easy_cleanup(retired.first);
        Curl().slist_free_all(retired.second);
    }
    mCurlMultiSessionPtr->mRetiredHandles.clear();
}

bool CurlNetworkConnection::StartThread() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        ZLOGE("pipe create failed");
        return false;
    }
    mPipeIOChanelData.mPipeFdArray[0] = fds[0];
    mPipeIOChanelData.mPipeFdArray[1] = fds[1];
    mPipeIOChanelData.mGIOPipeChanel = g_io_channel_unix_new(fds[0]);
    mPipeIOChanelData.mPipeChanelID = g_io_add_watch(
        mPipeIOChanelData.mGIOPipeChanel, static_cast<GIOCondition>(G_IO_IN | G_IO_ERR | G_IO_HUP),
        SGIOPipeWatchCB, this);
    mStopRequested = false;
    int result = pthread_create(&mThread, nullptr, StartCurlMultiMainLoop, this);
    if (result != 0) {
        ZLOGE("Failed pthread_create :%d", result);
        mThread = 0;
        StopThread();
        return false;
    }
    return true;
}

void CurlNetworkConnection::StopThread() {
    if (mThread != 0) {
        // The worker tests the flag on every round; the wake-up ends its wait.
        mStopRequested = true;
        WakeWorker();
        pthread_join(mThread, nullptr);
        mThread = 0;
    }
    int& readFd = mPipeIOChanelData.mPipeFdArray[0];
    int& writeFd = mPipeIOChanelData.mPipeFdArray[1];
    if (readFd != 0) {
        // A message the main loop has not read yet still owns its record.
        PipeTransCurlData* pending = nullptr;
        while (read(readFd, &pending, sizeof(pending)) == sizeof(pending)) {
            delete pending;
        }
        close(readFd);
        readFd = 0;
    }
    if (writeFd != 0) {
        close(writeFd);
        writeFd = 0;
    }
    if (mPipeIOChanelData.mGIOPipeChanel) {
        if (mPipeIOChanelData.mPipeChanelID != 0) {
            g_source_remove(mPipeIOChanelData.mPipeChanelID);
        }
        g_io_channel_unref(mPipeIOChanelData.mGIOPipeChanel);
        mPipeIOChanelData.mGIOPipeChanel = nullptr;
        mPipeIOChanelData.mPipeChanelID = 0;
    }
}

void CurlNetworkConnection::WakeWorker() {
    if (mThread != 0 && mCurlMultiSessionPtr && mCurlMultiSessionPtr->mCurlMultiSession) {
        Curl().multi_wakeup(mCurlMultiSessionPtr->mCurlMultiSession);
    }
}

void* CurlNetworkConnection::StartCurlMultiMainLoop(void* data) {
    static_cast<CurlNetworkConnection*>(data)->RunWorker();
    return nullptr;
}

void CurlNetworkConnection::RunWorker() {
    // The multi handle stays in place until the main loop has joined this thread.
    CURLM* multi = mCurlMultiSessionPtr->mCurlMultiSession;
    if (!WorkerRelock()) {
        PostAllResponseDone();
        return;
    }
    for (;;) {
        if (mStopRequested) {
            MUTEX_UNLOCK();
            return;
        }
        SyncWorkerHandles();
        int running = 0;
        CURLMcode result = Curl().multi_perform(multi, &running);
        if (result != CURLM_OK) {
            ZLOGE("Failed multi perform :%d", result);
        }
        if (running == 0) {
            break;
        }
        long timeout = -1;
        Curl().multi_timeout(multi, &timeout);
        ZLOGD("curl time out %ld milisecondes", timeout);
        MUTEX_UNLOCK();
        // Only this thread calls into the multi handle while it lives, so the
        // wait runs unlocked; poll() has no descriptor limit, unlike select().
        result = Curl().multi_poll(multi, nullptr, 0, WaitMilliseconds(timeout), nullptr);
        if (result != CURLM_OK) {
            ZLOGE("Failed multi poll :%d", result);
        }
        if (!WorkerRelock()) {
            PostAllResponseDone();
            return;
        }
    }
    CollectFinishedTransfers();
    MUTEX_UNLOCK();
    PostAllResponseDone();
}

void CurlNetworkConnection::SyncWorkerHandles() {
    ReleaseRetiredHandles();
    for (auto& session : mCurlMultiSessionPtr->mCurlSingleEasySessionList) {
        if (session->mAddedToMulti || session->mCurlState != THREAD_CURL_STATE_INITIALIZED) {
            continue;
        }
        if (Curl().multi_add_handle(mCurlMultiSessionPtr->mCurlMultiSession,
                                    session->mCurlSessionHandler) != CURLM_OK) {
            ZLOGE("[Failed] curl_multi_add_handle");
            session->mCurlState = THREAD_CURL_STATE_RESPONSE_FAILED;
            continue;
        }
        session->mAddedToMulti = true;
    }
}

void CurlNetworkConnection::CollectFinishedTransfers() {
    int remained = 0;
    while (CURLMsg* message =
               Curl().multi_info_read(mCurlMultiSessionPtr->mCurlMultiSession, &remained)) {
        ZLOGD("Remained count : %d", remained);
        if (message->msg != CURLMSG_DONE) {
            continue;
        }
        CurlSingleEasySessionPtr session = FindSingleEasySessiong(message->easy_handle);
        if (!session) {
            continue;
        }
        long code = 0;
        Curl().easy_getinfo(message->easy_handle, CURLINFO_RESPONSE_CODE, &code);
        CURLcode result = message->data.result;
        // A 200 whose transfer broke off (short body, bad encoding) is no success.
        if (code == HTTP_RESPONSE_OK && result == CURLE_OK) {
            session->mCurlState = THREAD_CURL_STATE_RESPONSE_COMPLETED;
            continue;
        }
        if (code != HTTP_RESPONSE_OK) {
            ZLOGE("Response Error Code :%ld", code);
        }
        if (result != CURLE_OK) {
            ZLOGE("Transfer failed : %s", Curl().easy_strerror(result));
        }
        session->mCurlState = THREAD_CURL_STATE_RESPONSE_FAILED;
    }
}

void CurlNetworkConnection::PostAllResponseDone() {
    auto* message = new (std::nothrow) PipeTransCurlData;
    if (!message) {
        ZLOGE("new opearation error");
        return;
    }
    message->mCurlState = THREAD_CURL_STATE_ALL_RESPONSE_DONE;
    if (write(mPipeIOChanelData.mPipeFdArray[1], &message, sizeof(message)) < 1) {
        ZLOGE("Failed write pipe");
        delete message;
    }
}

size_t CurlNetworkConnection::ResponseHttpPacketCB(char* data, size_t size, size_t count,
                                                   void* userData) {
    size_t length = size * count;
    ZLOGD("Response packet length :%zu", length);
    if (length < 1) {
        return 0;
    }
    if (!data) {
        ZLOGE("Invalid received data");
        return length;
    }
    auto* packet = static_cast<CurlHttpTotalPacketData*>(userData);
    if (!packet) {
        ZLOGE("Invalid cur http packet data");
        return 0;
    }
    // Anything but length makes libcurl end the transfer as failed.
    return packet->AppendPacketBodyData(reinterpret_cast<const Byte*>(data), length) ? length : 0;
}

int CurlNetworkConnection::CurlDebugCB(CURL*, curl_infotype type, char* data, size_t size, void*) {
    if (type != CURLINFO_TEXT) {
        return 0;
    }
    while (size > 0 && (data[size - 1] == '\n' || data[size - 1] == '\r')) {
        --size;
    }
    // Redirect notes quote whole URLs, keys included.
    ZLOGD("curl: %s", LogRedaction::RedactText(std::string(data, size)).c_str());
    return 0;
}

gboolean CurlNetworkConnection::SGIOPipeWatchCB(GIOChannel*, GIOCondition condition,
                                                gpointer data) {
    auto* self = static_cast<CurlNetworkConnection*>(data);
    if (!self || !self->mPipeIOChanelData.mGIOPipeChanel) {
        ZLOGE("INAVLID mGIOPipeChanel");
        return FALSE;
    }
    ZLOGD("size : %d", static_cast<int>(sizeof(PipeTransCurlData*)));
    if (condition & G_IO_IN) {
        PipeTransCurlData* message = nullptr;
        ssize_t got = read(self->mPipeIOChanelData.mPipeFdArray[0], &message, sizeof(message));
        if (got == -1) {
            ZLOGE("Failed get pipe message");
            return TRUE;
        }
        // This watch serves one message; it goes away when we return.
        self->mPipeIOChanelData.mPipeChanelID = 0;
        self->CheckThreadStatus(&message, static_cast<size_t>(got));
        return FALSE;
    }
    if (condition & G_IO_ERR) {
        ZLOGE("G_IO_ERR");
    } else if (condition & G_IO_HUP) {
        ZLOGE("G_IO_HUP");
    }
    self->mPipeIOChanelData.mPipeChanelID = 0;
    return FALSE;
}

void CurlNetworkConnection::CheckThreadStatus(const void* buffer, size_t size) {
    if (!buffer || size != sizeof(PipeTransCurlData*)) {
        ZLOGE("invalid pointer type");
        return;
    }
    PipeTransCurlData* address = nullptr;
    memcpy(&address, buffer, sizeof(address));
    std::unique_ptr<PipeTransCurlData> message(address);
    if (!message) {
        ZLOGE("Invalid pipe Curl data");
        return;
    }
    if (message->mCurlState != THREAD_CURL_STATE_ALL_RESPONSE_DONE) {
        ZLOGD("curlState: %d", message->mCurlState);
        return;
    }
    StopThread();
    ResponseHttpRequest();
}

void CurlNetworkConnection::ResponseHttpRequest() {
    if (!mCurlMultiSessionPtr || !mCurlMultiSessionPtr->mCurlMultiSession) {
        ZLOGE("Failed get curl multi session");
        return;
    }
    std::list<CurlSingleEasySessionPtr> finished;
    std::list<CurlSingleEasySessionPtr> late;
    if (!MUTEX_LOCK()) {
        return;
    }
    ReleaseRetiredHandles();
    for (auto& session : mCurlMultiSessionPtr->mCurlSingleEasySessionList) {
        // Accepted after the worker had finished its last round: never run.
        if (!session->mAddedToMulti && session->mCurlState == THREAD_CURL_STATE_INITIALIZED) {
            late.push_back(session);
            continue;
        }
        ReleaseEasySession(session);
        finished.push_back(session);
    }
    Curl().multi_cleanup(mCurlMultiSessionPtr->mCurlMultiSession);
    mCurlMultiSessionPtr->mCurlMultiSession = nullptr;
    mCurlMultiSessionPtr->mCurlSingleEasySessionList.clear();
    MUTEX_UNLOCK();

    if (!late.empty()) {
        // They were accepted, so they get their answer: in a batch of their own.
        ZLOGI("Running %d late request(s) in a new batch", static_cast<int>(late.size()));
        bool newBatch = PrepareBatch();
        for (auto& session : late) {
            if (AppendEasySession(session) != CURLM_OK) {
                ReleaseEasySession(session);
                session->mCurlState = THREAD_CURL_STATE_RESPONSE_FAILED;
                finished.push_back(session);
            }
        }
        LaunchBatch(newBatch);
    }

    for (auto& session : finished) {
        IHttpRequestDataPtr request = session->mCurlHttpRequestDataPtr;
        if (session->mCurlState == THREAD_CURL_STATE_RESPONSE_COMPLETED) {
            OnHttpResponseCompleted(request, session->mCurlHttpResponseDataPtr);
        } else if (session->mCurlState == THREAD_CURL_STATE_RESPONSE_FAILED) {
            OnHttpResponseFailed(request);
        }
    }
}

void CurlNetworkConnection::FailWholeBatch() {
    if (!MUTEX_LOCK()) {
        return;
    }
    for (auto& session : mCurlMultiSessionPtr->mCurlSingleEasySessionList) {
        if (session->mCurlState == THREAD_CURL_STATE_INITIALIZED) {
            session->mCurlState = THREAD_CURL_STATE_RESPONSE_FAILED;
        }
    }
    MUTEX_UNLOCK();
    ResponseHttpRequest();
}

CurlNetworkConnection::CurlSingleEasySessionPtr CurlNetworkConnection::FindSingleEasySessiong(
    CURL* handle) {
    for (auto& session : mCurlMultiSessionPtr->mCurlSingleEasySessionList) {
        if (session->mCurlSessionHandler == handle) {
            return session;
        }
    }
    return nullptr;
}

CurlNetworkConnection::CurlSingleEasySessionPtr CurlNetworkConnection::FindSingleEasySessiong(
    HttpReqID requestId) {
    for (auto& session : mCurlMultiSessionPtr->mCurlSingleEasySessionList) {
        if (session->mCurlHttpRequestDataPtr &&
            session->mCurlHttpRequestDataPtr->GetRequestId() == requestId) {
            return session;
        }
    }
    return nullptr;
}

IHttpRequestDataPtr CurlNetworkConnection::DestoryHttpRequest(
    const CurlSingleEasySessionPtr& session) {
    if (!mCurlMultiSessionPtr || !session) {
        ZLOGE("Invalid Multisession Ptr or curlSingleEasySessiongPtr");
        return nullptr;
    }
    if (!session->mCurlSessionHandler) {
        return nullptr;
    }
    if (session->mAddedToMulti && mThread != 0) {
        // The worker owns the multi handle while it lives; it removes the handle.
        mCurlMultiSessionPtr->mRetiredHandles.emplace_back(session->mCurlSessionHandler,
                                                           session->mCurlHeaderOptions);
        session->mCurlSessionHandler = nullptr;
        session->mCurlHeaderOptions = nullptr;
        session->mAddedToMulti = false;
    } else {
        ReleaseEasySession(session);
    }
    mCurlMultiSessionPtr->mCurlSingleEasySessionList.remove(session);
    return session->mCurlHttpRequestDataPtr;
}

void CurlNetworkConnection::DestoryAllHttpRequest() {
    if (!mCurlMultiSessionPtr || !mCurlMultiSessionPtr->mCurlMultiSession) {
        ZLOGE("Failed get curl multi session");
        return;
    }
    if (!MUTEX_LOCK()) {
        return;
    }
    ReleaseRetiredHandles();
    for (auto& session : mCurlMultiSessionPtr->mCurlSingleEasySessionList) {
        ReleaseEasySession(session);
    }
    mCurlMultiSessionPtr->mCurlSingleEasySessionList.clear();
    Curl().multi_cleanup(mCurlMultiSessionPtr->mCurlMultiSession);
    mCurlMultiSessionPtr->mCurlMultiSession = nullptr;
    MUTEX_UNLOCK();
}

bool CurlNetworkConnection::MutexLockImpl(const char* caller, int line) {
    ZLOGD("%s(%d)", caller, line);
    ++mMainLoopWaiting;
    int result = pthread_mutex_lock(&mThreadMutexHandler);
    --mMainLoopWaiting;
    if (result != 0) {
        ZLOGE("Failed pthread_mutex_lock :%d", result);
        return false;
    }
    return true;
}

bool CurlNetworkConnection::WorkerRelock() {
    // A mutex is not fair: coming straight back from a poll() that had data
    // ready, the worker would win the lock over a waiting main loop again and
    // again for the whole transfer.
    while (mMainLoopWaiting.load() > 0 && !mStopRequested) {
        sched_yield();
    }
    int result = pthread_mutex_lock(&mThreadMutexHandler);
    if (result != 0) {
        ZLOGE("Failed pthread_mutex_lock :%d", result);
        return false;
    }
    return true;
}

bool CurlNetworkConnection::MutexUnlockImpl(const char* caller, int line) {
    ZLOGD("%s(%d)", caller, line);
    int result = pthread_mutex_unlock(&mThreadMutexHandler);
    if (result != 0) {
        ZLOGE("Failed pthread_mutex_unlock :%d", result);
        return false;
    }
    return true;
}
