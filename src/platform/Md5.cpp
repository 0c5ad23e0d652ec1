#include "platform/Md5.h"

#include <memory>

#include "platform/CryptoLibrary.h"

namespace kestrel::platform {

std::optional<Md5Digest> Md5(std::string_view bytes) {
    const CryptoFunctions* crypto = CryptoLibrary::Get();
    if (!crypto) return std::nullopt;
    const std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(crypto->md_ctx_new(), crypto->md_ctx_free);
    if (!context) return std::nullopt;
    Md5Digest digest{};
    unsigned int length = 0;
    if (crypto->digest_init_ex(context.get(), crypto->md5(), nullptr) != 1 ||
        crypto->digest_update(context.get(), bytes.data(), bytes.size()) != 1 ||
        crypto->digest_final_ex(context.get(), digest.data(), &length) != 1 || length != digest.size()) {
        return std::nullopt;
    }
    return digest;
}

}  // namespace kestrel::platform
