#pragma once

// Decoding the `.lzma` files that Mojang's Java runtimes are served as: the
// legacy LZMA format ("LZMA alone") and, should a server send one, the .xz
// format, decoded by liblzma. The decoded bytes go to a sink in pieces, so a
// runtime's largest file (the module image, well over 100 MB) never sits in
// memory whole.
//
// Threading: a free function; safe from any thread. The decoder's memory is
// capped, so a hostile file cannot make it allocate without bound.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace kestrel::platform {

// Takes the next piece of decoded bytes; false stops the decoding (the call
// then fails with the sink's reason left to the caller).
using ByteSink = std::function<bool(std::string_view)>;

// Decodes the compressed file at path into the sink. max_output bounds the
// decoded size: a file that decodes to more fails, so a small "bomb" cannot
// fill the disk. An error text for a missing file, bytes that are not LZMA
// or are cut short, too much output, or a sink that stopped.
Status DecodeLzmaFile(const std::string& path, const ByteSink& sink,
                      std::uint64_t max_output = std::uint64_t{4} << 30);

// The same for bytes in memory (tests, small files).
Status DecodeLzma(std::string_view compressed, const ByteSink& sink,
                  std::uint64_t max_output = std::uint64_t{4} << 30);

}  // namespace kestrel::platform
