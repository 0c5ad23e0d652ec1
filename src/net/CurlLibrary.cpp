#include "net/CurlLibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "platform/LauncherPaths.h"

// Defined by the programs that link libcurl in (the kestrel_net_curl
// library); left unresolved, and so null, in the launcher, which loads the
// module instead.
extern "C" const kestrel::net::CurlFunctions* kestrel_curl_functions() __attribute__((weak));

namespace kestrel::net {

std::vector<std::string> CurlLibrary::Candidates() {
    const platform::LauncherPaths paths = platform::LauncherPaths::Current();
    std::vector<std::string> candidates = {paths.transfer_module, paths.installed_transfer_module};
    if (const char* named = std::getenv(kCurlModuleVariable); named && *named) candidates.emplace_back(named);
    return candidates;
}

Result<const CurlFunctions*> CurlLibrary::Load(const std::vector<std::string>& candidates) {
    std::string why = "no candidate";
    for (const std::string& path : candidates) {
        // Lazy binding: resolving every symbol of libcurl and the TLS and name
        // libraries under it at once would touch (and copy) pages that most
        // runs never use.
        void* handle = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!handle) {
            why = ::dlerror();
            continue;
        }
        const auto entry = reinterpret_cast<CurlFunctionsFn>(::dlsym(handle, kCurlFunctionsSymbol));
        const CurlFunctions* table = entry ? entry() : nullptr;
        if (!table || table->layout_version != kCurlFunctionsLayout) {
            why = path + ": not a transfer module of this launcher";
            ::dlclose(handle);
            continue;
        }
        // The handle stays open for the rest of the process (see the header).
        return table;
    }
    return Error{std::string(kCurlModuleFileName) + " not loaded (" + why + ")"};
}

const CurlFunctions* CurlLibrary::Get() {
    // The one process-wide table: dlopen's state is the process's anyway,
    // and the transfers are made everywhere without an owner to hand it to
    // them. It is set once, thread-safely, and never changes afterwards.
    static const CurlFunctions* const table = []() -> const CurlFunctions* {
        if (kestrel_curl_functions) return kestrel_curl_functions();
        auto loaded = Load(Candidates());
        if (loaded) return *loaded;
        std::fprintf(stderr, "kestrel: %s; transfers fail\n", loaded.error().c_str());
        return nullptr;
    }();
    return table;
}

}  // namespace kestrel::net
