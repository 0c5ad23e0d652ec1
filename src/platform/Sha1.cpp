#include "platform/Sha1.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/CryptoLibrary.h"

namespace kestrel::platform {

struct Sha1::Context {
    const CryptoFunctions* crypto = CryptoLibrary::Get();
    EVP_MD_CTX* md = nullptr;
    bool failed = false;
    ~Context() {
        if (md) crypto->md_ctx_free(md);
    }
};

Sha1::Sha1() : context_(std::make_unique<Context>()) { Reset(); }
Sha1::~Sha1() = default;
Sha1::Sha1(Sha1&& other) noexcept = default;
Sha1& Sha1::operator=(Sha1&& other) noexcept = default;

void Sha1::Reset() {
    if (!context_) context_ = std::make_unique<Context>();
    const CryptoFunctions* crypto = context_->crypto;
    if (!crypto) {
        context_->failed = true;
        return;
    }
    if (!context_->md) context_->md = crypto->md_ctx_new();
    context_->failed = !context_->md || crypto->digest_init_ex(context_->md, crypto->sha1(), nullptr) != 1;
}

void Sha1::Update(std::string_view bytes) {
    if (!context_ || context_->failed || bytes.empty()) return;
    if (context_->crypto->digest_update(context_->md, bytes.data(), bytes.size()) != 1) context_->failed = true;
}

std::optional<Sha1Digest> Sha1::Finish() {
    if (!context_ || context_->failed) return std::nullopt;
    Sha1Digest digest{};
    unsigned int length = 0;
    const bool done =
        context_->crypto->digest_final_ex(context_->md, digest.data(), &length) == 1 && length == digest.size();
    // A finished context must be initialised again before another use.
    context_->failed = true;
    if (!done) return std::nullopt;
    return digest;
}

std::optional<Sha1Digest> Sha1Of(std::string_view bytes) {
    Sha1 sha1;
    sha1.Update(bytes);
    return sha1.Finish();
}

std::string Sha1Hex(const Sha1Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(40);
    for (const std::uint8_t byte : digest) {
        hex.push_back(kDigits[byte >> 4]);
        hex.push_back(kDigits[byte & 15]);
    }
    return hex;
}

bool Sha1Matches(const Sha1Digest& digest, std::string_view text) {
    if (text.size() != 40) return false;
    const std::string hex = Sha1Hex(digest);
    for (std::size_t i = 0; i < 40; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
        if (c != hex[i]) return false;
    }
    return true;
}

Result<FileDigest> Sha1OfFile(const std::string& path, std::stop_token stop) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Error{"cannot open " + path + ": " + std::strerror(errno)};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Error{"not a regular file: " + path};
    }
    // Large sequential reads; the kernel's read-ahead does the rest.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    Sha1 sha1;
    FileDigest result;
    std::vector<char> buffer(std::size_t{1} << 17);
    for (;;) {
        if (stop.stop_requested()) {
            ::close(fd);
            return Error{"stopped while reading " + path};
        }
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            const std::string text = "cannot read " + path + ": " + std::strerror(errno);
            ::close(fd);
            return Error{text};
        }
        if (got == 0) break;
        sha1.Update(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        result.size += static_cast<std::uint64_t>(got);
    }
    ::close(fd);
    const auto digest = sha1.Finish();
    if (!digest) return Error{"cannot hash " + path};
    result.sha1 = *digest;
    return result;
}

}  // namespace kestrel::platform
