#pragma once

// CryptoLibrary is the door to OpenSSL's libcrypto, which the SHA-1 and MD5
// digests use. The library costs a start of the launcher its relocations and
// megabytes of pages while no digest is needed before the window is up
// (they come with the first download, verify or offline sign-in), so it is
// not linked: the first digest loads it by its soname, and the calls go
// through this table. Without it the digests finish with nothing, as they do
// when OpenSSL fails.
//
// Threading: Get may be called from any thread; the first call loads the
// library and later ones wait for that, then the table never changes.

#include <openssl/evp.h>

namespace kestrel::platform {

struct CryptoFunctions {
    EVP_MD_CTX* (*md_ctx_new)();
    void (*md_ctx_free)(EVP_MD_CTX*);
    int (*digest_init_ex)(EVP_MD_CTX*, const EVP_MD*, ENGINE*);
    int (*digest_update)(EVP_MD_CTX*, const void*, size_t);
    int (*digest_final_ex)(EVP_MD_CTX*, unsigned char*, unsigned int*);
    const EVP_MD* (*sha1)();
    const EVP_MD* (*md5)();
};

class CryptoLibrary {
public:
    // The process's table; nullptr when libcrypto cannot be loaded.
    static const CryptoFunctions* Get();
};

}  // namespace kestrel::platform
