#include "platform/LzmaDecoder.h"

#include <lzma.h>

#include <gtest/gtest.h>

#include <string>

#include "support/TempFolder.h"

namespace kestrel::platform {
namespace {

// The legacy .lzma form Mojang serves, or .xz, made with liblzma's encoders.
std::string Compress(const std::string& bytes, bool xz) {
    lzma_stream stream = LZMA_STREAM_INIT;
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    const lzma_ret started =
        xz ? lzma_easy_encoder(&stream, 6, LZMA_CHECK_CRC64) : lzma_alone_encoder(&stream, &options);
    if (started != LZMA_OK) return {};
    std::string out(bytes.size() + 65536, '\0');
    stream.next_in = reinterpret_cast<const std::uint8_t*>(bytes.data());
    stream.avail_in = bytes.size();
    stream.next_out = reinterpret_cast<std::uint8_t*>(out.data());
    stream.avail_out = out.size();
    const lzma_ret ended = lzma_code(&stream, LZMA_FINISH);
    out.resize(out.size() - stream.avail_out);
    lzma_end(&stream);
    return ended == LZMA_STREAM_END ? out : std::string();
}

// Bytes that compress well but are not all alike, larger than the decoder's
// pieces.
std::string Sample(std::size_t size) {
    std::string bytes;
    for (std::size_t i = 0; bytes.size() < size; ++i) bytes += "line " + std::to_string(i * 7919 % 1000) + "\n";
    bytes.resize(size);
    return bytes;
}

TEST(LzmaDecoder, DecodesBothFormatsFromMemoryAndFile) {
    testing::TempFolder folder;
    const std::string original = Sample(1 << 20);
    for (const bool xz : {false, true}) {
        const std::string packed = Compress(original, xz);
        ASSERT_FALSE(packed.empty());
        std::string memory;
        ASSERT_TRUE(DecodeLzma(packed, [&](std::string_view piece) { memory.append(piece); return true; }));
        EXPECT_TRUE(memory == original) << xz;
        const std::string path = folder.Write(xz ? "f.xz" : "f.lzma", packed);
        std::string file;
        const Status decoded = DecodeLzmaFile(path, [&](std::string_view piece) { file.append(piece); return true; });
        ASSERT_TRUE(decoded) << decoded.error();
        EXPECT_TRUE(file == original) << xz;
    }
    std::string empty = "x";
    ASSERT_TRUE(DecodeLzma(Compress("", false), [&](std::string_view piece) { empty.append(piece); return true; }));
    EXPECT_EQ(empty, "x");
}

TEST(LzmaDecoder, RefusesBadInput) {
    testing::TempFolder folder;
    const std::string original = Sample(1 << 20);
    const std::string packed = Compress(original, false);
    struct Case {
        std::string name;
        std::string bytes;
        std::uint64_t max_output;
        bool sink_refuses;
    };
    const std::vector<Case> cases = {
        {"cut short", packed.substr(0, packed.size() / 2), 1 << 30, false},
        {"not lzma", "PK\x03\x04 plainly a zip", 1 << 30, false},
        {"empty", "", 1 << 30, false},
        {"decodes to more than allowed", packed, original.size() - 1, false},
        {"the sink stops", packed, 1 << 30, true},
    };
    for (const Case& c : cases) {
        const auto sink = [&](std::string_view) { return !c.sink_refuses; };
        EXPECT_FALSE(DecodeLzma(c.bytes, sink, c.max_output)) << c.name;
        const std::string path = folder.Write("case.lzma", c.bytes);
        EXPECT_FALSE(DecodeLzmaFile(path, sink, c.max_output)) << c.name;
    }
    EXPECT_FALSE(DecodeLzmaFile(folder.path() + "/missing.lzma", [](std::string_view) { return true; }));
}

}  // namespace
}  // namespace kestrel::platform
