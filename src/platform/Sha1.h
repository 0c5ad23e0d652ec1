#pragma once

// SHA-1 digests, computed by OpenSSL (loaded on first use, CryptoLibrary.h). Game files are named and checked by
// their SHA-1 in every manifest, so downloads hash their bytes as they stream
// in (Sha1 takes the bytes in pieces) and the checks of files on disk hash
// them by reading them in blocks (Sha1OfFile), never whole into memory.
//
// Threading: a Sha1 object belongs to one thread at a time; the free
// functions keep no state and may be called from any thread at once.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace kestrel::platform {

using Sha1Digest = std::array<std::uint8_t, 20>;

// An incremental SHA-1: Update with the bytes in any number of pieces, then
// Finish once. A Sha1 whose crypto context could not be made (or whose
// update failed) finishes with nothing.
class Sha1 {
public:
    Sha1();
    ~Sha1();
    Sha1(Sha1&& other) noexcept;
    Sha1& operator=(Sha1&& other) noexcept;
    Sha1(const Sha1&) = delete;
    Sha1& operator=(const Sha1&) = delete;

    void Update(std::string_view bytes);
    // The digest of every byte given so far; the object is spent afterwards
    // (a further Finish gives nothing).
    std::optional<Sha1Digest> Finish();
    // Starts again as a fresh digest.
    void Reset();

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

// The digest of the bytes, or nothing when the crypto library fails.
std::optional<Sha1Digest> Sha1Of(std::string_view bytes);

// 40 lowercase hexadecimal digits.
std::string Sha1Hex(const Sha1Digest& digest);

// True when text is 40 hexadecimal digits (either letter case) naming this
// digest.
bool Sha1Matches(const Sha1Digest& digest, std::string_view text);

// What a file on disk holds: its SHA-1 and its size.
struct FileDigest {
    Sha1Digest sha1{};
    std::uint64_t size = 0;
};

// Reads the file in blocks and hashes it; an error text (with the system's
// reason) when it is missing, not a regular file or unreadable. A stop
// request ends the reading early with an error.
Result<FileDigest> Sha1OfFile(const std::string& path, std::stop_token stop = {});

}  // namespace kestrel::platform
