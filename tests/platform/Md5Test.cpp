#include "platform/Md5.h"

#include <gtest/gtest.h>

#include "platform/RandomSource.h"

namespace kestrel::platform {
namespace {

std::string Hex(const Md5Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : digest) {
        hex.push_back(kDigits[byte >> 4]);
        hex.push_back(kDigits[byte & 15]);
    }
    return hex;
}

TEST(Md5, GivesTheReferenceDigests) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {std::string("\0\xff", 2), "d07d34efac6328007ad67c7e0a985e00"},
    };
    for (const auto& [bytes, hex] : cases) {
        const auto digest = Md5(bytes);
        ASSERT_TRUE(digest.has_value());
        EXPECT_EQ(Hex(*digest), hex);
    }
}

TEST(TickRandom, DrawsWithTheRuntimeGeneratorStepOverTheCounter) {
    // (0 * 214013 + 2531011) >> 16 = 38; (1 * 214013 + 2531011) >> 16 = 41.
    EXPECT_EQ(TickRandom::Draw(0, 0, 99), 38u);
    EXPECT_EQ(TickRandom::Draw(1, 10, 19), 11u);
    // Only the low 32 bits of the counter count.
    EXPECT_EQ(TickRandom::Draw(std::uint64_t{1} << 32, 0, 99), 38u);
    EXPECT_EQ(TickRandom::Draw(5, 0, 0xFFFFFFFFu), TickRandom::Draw(5, 0, 0xFFFFFFFFu));
    std::uint64_t tick = 0;
    TickRandom random([&] { return tick++; });
    EXPECT_EQ(random.Between(0, 99), 38u);
    EXPECT_EQ(random.Between(0, 99), 41u);
    for (int i = 0; i < 1000; ++i) {
        const std::uint32_t drawn = TickRandom().Between('a', 'z');
        ASSERT_GE(drawn, std::uint32_t{'a'});
        ASSERT_LE(drawn, std::uint32_t{'z'});
    }
}

}  // namespace
}  // namespace kestrel::platform
