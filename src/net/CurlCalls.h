#pragma once

// CurlCalls are libcurl's calls under their own names without the curl_
// prefix, made through the process's table (CurlLibrary.h). Without a table
// the handles cannot be made (easy_init and multi_init give nullptr), and
// the rest, which need a handle, report a failed start.
//
// Threading: as libcurl's own calls.

#include <string>

#include "net/CurlLibrary.h"

namespace kestrel::net::curl {

inline CURL* easy_init() {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->easy_init() : nullptr;
}
inline void easy_cleanup(CURL* handle) {
    if (const CurlFunctions* f = CurlLibrary::Get()) f->easy_cleanup(handle);
}
template <typename T>
CURLcode easy_setopt(CURL* handle, CURLoption option, T value) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->easy_setopt(handle, option, value) : CURLE_FAILED_INIT;
}
template <typename T>
CURLcode easy_getinfo(CURL* handle, CURLINFO info, T out) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->easy_getinfo(handle, info, out) : CURLE_FAILED_INIT;
}
inline CURLcode easy_perform(CURL* handle) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->easy_perform(handle) : CURLE_FAILED_INIT;
}
// libcurl's text for a code; without libcurl, the code's number.
inline std::string easy_strerror(CURLcode code) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? std::string(f->easy_strerror(code)) : "libcurl not loaded (code " + std::to_string(code) + ")";
}

inline CURLM* multi_init() {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->multi_init() : nullptr;
}
inline CURLMcode multi_cleanup(CURLM* multi) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->multi_cleanup(multi) : CURLM_BAD_HANDLE;
}
template <typename T>
CURLMcode multi_setopt(CURLM* multi, CURLMoption option, T value) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->multi_setopt(multi, option, value) : CURLM_BAD_HANDLE;
}
inline CURLMcode multi_add_handle(CURLM* multi, CURL* handle) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->multi_add_handle(multi, handle) : CURLM_BAD_HANDLE;
}
inline CURLMcode multi_remove_handle(CURLM* multi, CURL* handle) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->multi_remove_handle(multi, handle) : CURLM_BAD_HANDLE;
}
inline CURLMcode multi_perform(CURLM* multi, int* running) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->multi_perform(multi, running) : CURLM_BAD_HANDLE;
}
inline CURLMcode multi_poll(CURLM* multi, curl_waitfd* extra, unsigned int count, int timeout_ms, int* ready) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->multi_poll(multi, extra, count, timeout_ms, ready) : CURLM_BAD_HANDLE;
}
inline CURLMcode multi_wakeup(CURLM* multi) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->multi_wakeup(multi) : CURLM_BAD_HANDLE;
}
inline CURLMsg* multi_info_read(CURLM* multi, int* left) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->multi_info_read(multi, left) : nullptr;
}

inline curl_slist* slist_append(curl_slist* list, const char* line) {
    const CurlFunctions* f = CurlLibrary::Get();
    return f ? f->slist_append(list, line) : nullptr;
}
inline void slist_free_all(curl_slist* list) {
    if (const CurlFunctions* f = CurlLibrary::Get()) f->slist_free_all(list);
}

}  // namespace kestrel::net::curl
