/* libcurl, loaded on the first transfer. Most runs of a program make none,
 * and libcurl with the two dozen libraries it pulls in cost every process
 * that links it several MiB of memory and milliseconds of start-up. */
#ifndef OSTRA_CURL_LOADER_H
#define OSTRA_CURL_LOADER_H

#include <curl/curl.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The libcurl functions the platform and its programs call, by their
 * libcurl names without the "curl_" prefix. */
typedef struct ostra_curl_api {
    CURL* (*easy_init)(void);
    CURLcode (*easy_setopt)(CURL* handle, CURLoption option, ...);
    CURLcode (*easy_perform)(CURL* handle);
    CURLcode (*easy_getinfo)(CURL* handle, CURLINFO info, ...);
    void (*easy_cleanup)(CURL* handle);
    const char* (*easy_strerror)(CURLcode code);
    struct curl_slist* (*slist_append)(struct curl_slist* list, const char* text);
    void (*slist_free_all)(struct curl_slist* list);
    CURLM* (*multi_init)(void);
    CURLMcode (*multi_cleanup)(CURLM* multi);
    CURLMcode (*multi_add_handle)(CURLM* multi, CURL* handle);
    CURLMcode (*multi_remove_handle)(CURLM* multi, CURL* handle);
    CURLMcode (*multi_perform)(CURLM* multi, int* running);
    CURLMcode (*multi_poll)(CURLM* multi, struct curl_waitfd* extra, unsigned extra_count,
                            int timeout_ms, int* ready);
    CURLMcode (*multi_timeout)(CURLM* multi, long* timeout_ms);
    CURLMcode (*multi_wakeup)(CURLM* multi);
    CURLMsg* (*multi_info_read)(CURLM* multi, int* remaining);
} ostra_curl_api;

/* libcurl's functions, loaded and globally initialised once per process
 * (safe from any thread); NULL, with a log line, when it cannot be loaded. */
const ostra_curl_api* ostra_curl(void);

#ifdef __cplusplus
}
#endif

#endif
