#include "platform/Sha1.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace kestrel::platform {
namespace {

TEST(Sha1, GivesTheReferenceDigestsWholeAndInPieces) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"The quick brown fox jumps over the lazy dog", "2fd4e1c67a2d28fced849ee1bb76e7391b93eb12"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    };
    for (const auto& [bytes, hex] : cases) {
        ASSERT_TRUE(Sha1Of(bytes).has_value());
        EXPECT_EQ(Sha1Hex(*Sha1Of(bytes)), hex);
        // Any split into pieces gives the same digest.
        for (const std::size_t piece : {std::size_t{1}, std::size_t{63}, std::size_t{4096}}) {
            if (bytes.size() > 100000 && piece < 4096) continue;
            Sha1 sha1;
            for (std::size_t at = 0; at < bytes.size(); at += piece) sha1.Update(std::string_view(bytes).substr(at, piece));
            const auto digest = sha1.Finish();
            ASSERT_TRUE(digest.has_value());
            EXPECT_EQ(Sha1Hex(*digest), hex) << piece;
        }
    }
}

TEST(Sha1, FinishSpendsTheDigestAndResetStartsAgain) {
    Sha1 sha1;
    sha1.Update("abc");
    ASSERT_TRUE(sha1.Finish().has_value());
    EXPECT_FALSE(sha1.Finish().has_value());
    sha1.Reset();
    sha1.Update("abc");
    EXPECT_EQ(Sha1Hex(*sha1.Finish()), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST(Sha1, MatchesHexOfEitherCaseAndNothingElse) {
    const Sha1Digest digest = *Sha1Of("abc");
    EXPECT_TRUE(Sha1Matches(digest, "a9993e364706816aba3e25717850c26c9cd0d89d"));
    EXPECT_TRUE(Sha1Matches(digest, "A9993E364706816ABA3E25717850C26C9CD0D89D"));
    EXPECT_FALSE(Sha1Matches(digest, "a9993e364706816aba3e25717850c26c9cd0d89"));
    EXPECT_FALSE(Sha1Matches(digest, "a9993e364706816aba3e25717850c26c9cd0d89e"));
    EXPECT_FALSE(Sha1Matches(digest, ""));
}

TEST(Sha1, HashesAFileByStreamingIt) {
    testing::TempFolder folder;
    std::string bytes;
    for (int i = 0; i < 700000; ++i) bytes.push_back(static_cast<char>(i * 31 % 251));
    const std::string path = folder.Write("big.bin", bytes);
    const auto digest = Sha1OfFile(path);
    ASSERT_TRUE(digest) << digest.error();
    EXPECT_EQ(digest->size, bytes.size());
    EXPECT_EQ(digest->sha1, *Sha1Of(bytes));

    EXPECT_FALSE(Sha1OfFile(folder.path() + "/missing"));
    EXPECT_FALSE(Sha1OfFile(folder.path()));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(Sha1OfFile(path, stop.get_token()));
}

}  // namespace
}  // namespace kestrel::platform
