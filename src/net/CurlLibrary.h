#pragma once

// CurlLibrary finds the table of libcurl calls (CurlFunctions.h): the one
// linked into the program when there is one, else the transfer module,
// loaded the first time a transfer asks for it. The module is looked for
// beside the executable (a portable launcher; the build puts a copy beside
// kestrel), then in the library folder of an installed launcher, both found
// from the executable's real path, then at the path KESTREL_CURL_MODULE
// names. Without it every transfer fails as one that could not start
// ("libcurl not loaded") and the launcher goes on without its network.
// Once loaded the module stays loaded: libcurl's handles may live until the
// process ends.
//
// Threading: Get may be called from any thread; the first call loads the
// module and later ones wait for that, then the table never changes. Load
// keeps no state.

#include <string>
#include <vector>

#include "net/CurlFunctions.h"
#include "platform/Result.h"

namespace kestrel::net {

class CurlLibrary {
public:
    // The process's table; nullptr when there is none to be had.
    static const CurlFunctions* Get();

    // Opens the first of the candidate modules that has a table of this
    // layout; why none did otherwise.
    static Result<const CurlFunctions*> Load(const std::vector<std::string>& candidates);

    // The candidates Get tries, in order.
    static std::vector<std::string> Candidates();
};

}  // namespace kestrel::net
