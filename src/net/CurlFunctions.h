#pragma once

// CurlFunctions is the table of the libcurl calls that the transfers and the
// download engine make. libcurl with its TLS libraries (libcrypto, gnutls,
// the name resolvers, ...) is dozens of libraries and megabytes that the
// launcher's first frame never needs: the window is up long before its first
// request. So the launcher does not link libcurl; a module of its own
// (libkestrel_curl.so, curl/CurlModule.cpp) does and hands out this table,
// and CurlLibrary loads that module the first time a transfer is made.
// Programs that transfer from their first moment (kestrel-cli, the tests,
// the benchmarks) link the same table in directly instead (the
// kestrel_net_curl library) and never load the module.
//
// The types and constants still come from <curl/curl.h>; only the calls go
// through the table, so the callers' code reads as plain libcurl.
//
// Threading: the table is immutable; its functions keep libcurl's own rules
// (one thread per easy or multi handle at a time).

#include <curl/curl.h>

namespace kestrel::net {

struct CurlFunctions {
    // Makes the table's users refuse a module built against another layout.
    int layout_version;

    CURL* (*easy_init)();
    void (*easy_cleanup)(CURL*);
    CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
    CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...);
    CURLcode (*easy_perform)(CURL*);
    const char* (*easy_strerror)(CURLcode);

    CURLM* (*multi_init)();
    CURLMcode (*multi_cleanup)(CURLM*);
    CURLMcode (*multi_setopt)(CURLM*, CURLMoption, ...);
    CURLMcode (*multi_add_handle)(CURLM*, CURL*);
    CURLMcode (*multi_remove_handle)(CURLM*, CURL*);
    CURLMcode (*multi_perform)(CURLM*, int*);
    CURLMcode (*multi_poll)(CURLM*, struct curl_waitfd*, unsigned int, int, int*);
    CURLMcode (*multi_wakeup)(CURLM*);
    CURLMsg* (*multi_info_read)(CURLM*, int*);

    curl_slist* (*slist_append)(curl_slist*, const char*);
    void (*slist_free_all)(curl_slist*);
};

inline constexpr int kCurlFunctionsLayout = 1;

// The module's one entry point, looked up by this name; programs that link
// the table in define it themselves.
extern "C" {
using CurlFunctionsFn = const CurlFunctions* (*)();
}
inline constexpr const char* kCurlFunctionsSymbol = "kestrel_curl_functions";
inline constexpr const char* kCurlModuleFileName = "libkestrel_curl.so";
// Names the module for programs run from elsewhere than the launcher's
// folder.
inline constexpr const char* kCurlModuleVariable = "KESTREL_CURL_MODULE";

}  // namespace kestrel::net
