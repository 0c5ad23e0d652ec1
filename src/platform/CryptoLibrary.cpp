#include "platform/CryptoLibrary.h"

#include <dlfcn.h>
#include <openssl/opensslv.h>

#include <cstdio>
#include <string>

namespace kestrel::platform {

namespace {

// The soname of the libcrypto whose headers the launcher was built with.
#define KESTREL_STRINGIFY_(x) #x
#define KESTREL_STRINGIFY(x) KESTREL_STRINGIFY_(x)
constexpr const char* kCryptoSoname = "libcrypto.so." KESTREL_STRINGIFY(OPENSSL_VERSION_MAJOR);

template <typename Fn>
bool Find(void* handle, const char* name, Fn& out) {
    out = reinterpret_cast<Fn>(::dlsym(handle, name));
    return out != nullptr;
}

const CryptoFunctions* LoadCrypto() {
    // Lazily bound, as a linked library is: binding all of libcrypto at once
    // would touch pages no digest needs. RTLD_LOCAL: nothing else in the
    // process is to bind to its symbols by chance. The handle stays open for
    // the rest of the process.
    void* handle = ::dlopen(kCryptoSoname, RTLD_LAZY | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "kestrel: %s\n", ::dlerror());
        return nullptr;
    }
    static CryptoFunctions table;
    const bool complete = Find(handle, "EVP_MD_CTX_new", table.md_ctx_new) &&
                          Find(handle, "EVP_MD_CTX_free", table.md_ctx_free) &&
                          Find(handle, "EVP_DigestInit_ex", table.digest_init_ex) &&
                          Find(handle, "EVP_DigestUpdate", table.digest_update) &&
                          Find(handle, "EVP_DigestFinal_ex", table.digest_final_ex) &&
                          Find(handle, "EVP_sha1", table.sha1) && Find(handle, "EVP_md5", table.md5);
    if (!complete) {
        std::fprintf(stderr, "kestrel: %s lacks the digest functions\n", kCryptoSoname);
        return nullptr;
    }
    return &table;
}

}  // namespace

const CryptoFunctions* CryptoLibrary::Get() {
    // One table for the process, as dlopen's state is the process's: set
    // once, thread-safely, never changed afterwards.
    static const CryptoFunctions* const table = LoadCrypto();
    return table;
}

}  // namespace kestrel::platform
