#pragma once

// MD5 digests. The launcher needs MD5 only for the offline UUID, which must
// come out the same as on every other installation, so this is the plain
// RFC 1321 digest computed by OpenSSL (loaded on first use,
// CryptoLibrary.h).
//
// Threading: a pure function; any thread may call it.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrel::platform {

using Md5Digest = std::array<std::uint8_t, 16>;

// The digest of the bytes, or nothing when the crypto library fails.
std::optional<Md5Digest> Md5(std::string_view bytes);

}  // namespace kestrel::platform
