// The transfer module: libcurl's calls in the table that net's transfers and
// the download engine use (CurlFunctions.h). Built twice: as the module the
// launcher loads when its first transfer starts, and as a static library for
// the programs that link libcurl directly.

#include <curl/curl.h>

#include "net/CurlFunctions.h"

extern "C" __attribute__((visibility("default"))) const kestrel::net::CurlFunctions* kestrel_curl_functions() {
    static const kestrel::net::CurlFunctions table = {
        kestrel::net::kCurlFunctionsLayout,
        &curl_easy_init,
        &curl_easy_cleanup,
        &curl_easy_setopt,
        &curl_easy_getinfo,
        &curl_easy_perform,
        &curl_easy_strerror,
        &curl_multi_init,
        &curl_multi_cleanup,
        &curl_multi_setopt,
        &curl_multi_add_handle,
        &curl_multi_remove_handle,
        &curl_multi_perform,
        &curl_multi_poll,
        &curl_multi_wakeup,
        &curl_multi_info_read,
        &curl_slist_append,
        &curl_slist_free_all,
    };
    return &table;
}
