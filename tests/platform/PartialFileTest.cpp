#include "platform/PartialFile.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "platform/Files.h"
#include "support/TempFolder.h"

namespace kestrel::platform {
namespace {

std::string HexOf(const std::string& bytes) { return Sha1Hex(*Sha1Of(bytes)); }

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

TEST(PartialFile, CommitChecksThenRenamesOrRemoves) {
    using Verdict = PartialFile::Verdict;
    const std::string bytes = "the whole file";
    struct Case {
        const char* name;
        std::string sha1;
        std::optional<std::uint64_t> size;
        Verdict verdict;
    };
    const Case cases[] = {
        {"right", HexOf(bytes), bytes.size(), Verdict::kCommitted},
        {"upper-case hash, no size", Upper(HexOf(bytes)), std::nullopt, Verdict::kCommitted},
        {"no hash, right size", "", bytes.size(), Verdict::kCommitted},
        {"wrong hash", HexOf("other"), bytes.size(), Verdict::kWrongHash},
        {"wrong size", HexOf(bytes), bytes.size() + 1, Verdict::kWrongSize},
    };
    for (const Case& c : cases) {
        testing::TempFolder folder;
        const std::string final_path = folder.Write("file.jar", "old contents");
        auto file = PartialFile::Open(final_path, false);
        ASSERT_TRUE(file) << file.error();
        ASSERT_TRUE(file.value().Append("the whole "));
        ASSERT_TRUE(file.value().Append("file"));
        EXPECT_TRUE(std::filesystem::exists(final_path + ".part"));
        const PartialFile::CommitResult result = file.value().Commit(c.sha1, c.size);
        EXPECT_EQ(result.verdict, c.verdict) << c.name;
        EXPECT_EQ(result.size, bytes.size()) << c.name;
        EXPECT_EQ(result.sha1_hex, HexOf(bytes)) << c.name;
        EXPECT_FALSE(std::filesystem::exists(final_path + ".part")) << c.name;
        EXPECT_EQ(*ReadFile(final_path), c.verdict == Verdict::kCommitted ? bytes : "old contents") << c.name;
    }
}

TEST(PartialFile, ResumeKeepsTheBytesAndTheirDigestAndAFreshStartDropsThem) {
    testing::TempFolder folder;
    const std::string final_path = folder.path() + "/client.jar";
    {
        auto first = PartialFile::Open(final_path, false);
        ASSERT_TRUE(first);
        ASSERT_TRUE(first.value().Append("first half, "));
        // Leaving the scope closes the file and keeps it.
    }
    auto resumed = PartialFile::Open(final_path, true);
    ASSERT_TRUE(resumed) << resumed.error();
    EXPECT_EQ(resumed.value().size(), 12u);
    ASSERT_TRUE(resumed.value().Append("second half"));
    EXPECT_EQ(resumed.value().Commit(HexOf("first half, second half"), 23).verdict, PartialFile::Verdict::kCommitted);
    EXPECT_EQ(*ReadFile(final_path), "first half, second half");

    {
        auto kept = PartialFile::Open(folder.path() + "/other", false);
        ASSERT_TRUE(kept.value().Append("stale"));
    }
    auto fresh = PartialFile::Open(folder.path() + "/other", false);
    EXPECT_EQ(fresh.value().size(), 0u);
    ASSERT_TRUE(fresh.value().Append("new"));
    ASSERT_TRUE(fresh.value().Restart());
    ASSERT_TRUE(fresh.value().Append("newer"));
    EXPECT_EQ(fresh.value().Commit(HexOf("newer"), 5).verdict, PartialFile::Verdict::kCommitted);

    auto removed = PartialFile::Open(folder.path() + "/gone", false);
    ASSERT_TRUE(removed.value().Append("x"));
    removed.value().Remove();
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "/gone.part"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "/gone"));

    EXPECT_FALSE(PartialFile::Open(folder.path() + "/no/such/folder/file", false));
}

}  // namespace
}  // namespace kestrel::platform
