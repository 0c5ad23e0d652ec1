#include "platform/Files.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace kestrel::platform {
namespace {

TEST(Files, AtomicWriteReplacesWholeAndLeavesNoTemporaryFile) {
    testing::TempFolder folder;
    const std::string path = folder.Write("options.ini", "old");
    ASSERT_TRUE(WriteFileAtomically(path, std::string("new\0bytes", 9)).ok());
    EXPECT_EQ(ReadFile(path), std::string("new\0bytes", 9));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(Files, FailedWriteKeepsTheOldFile) {
    testing::TempFolder folder;
    const std::string path = folder.Write("sub/options.ini", "old");
    // Without write permission on the folder the temporary file cannot be
    // made; the old file must stay as it was. Root ignores permissions, so
    // a missing folder stands in for the failure there.
    const std::string target = ::geteuid() == 0 ? folder.path() + "/missing/options.ini" : path;
    ::chmod((folder.path() + "/sub").c_str(), 0500);
    const Status status = WriteFileAtomically(target, "new");
    ::chmod((folder.path() + "/sub").c_str(), 0700);
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.error().empty());
    EXPECT_EQ(ReadFile(path), "old");
}

// A FIFO in place of the options file or the account cache would block a
// reader that opened it before looking at its type.
TEST(Files, AFifoReadsAsMissingWithoutBlocking) {
    testing::TempFolder folder;
    const std::string fifo = folder.path() + "/LauncherOptions.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadFile(fifo).has_value());
    EXPECT_LT(OpenRegularFile(fifo), 0);
    EXPECT_LT(OpenRegularFile(folder.path()), 0);
}

TEST(Files, SecretFilesAreOwnerOnly) {
    testing::TempFolder folder;
    const std::string path = folder.path() + "/ACCOUNT.cache";
    ASSERT_TRUE(WriteFileAtomically(path, "x", 0600).ok());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(Files, ReadRefusesFoldersMissingFilesAndOversizedFiles) {
    testing::TempFolder folder;
    EXPECT_FALSE(ReadFile(folder.path()).has_value());
    EXPECT_FALSE(ReadFile(folder.path() + "/nothing").has_value());
    const std::string path = folder.Write("big", std::string(1000, 'x'));
    EXPECT_FALSE(ReadFile(path, 999).has_value());
    EXPECT_EQ(ReadFile(path, 1000)->size(), 1000u);
}

}  // namespace
}  // namespace kestrel::platform

namespace kestrel::platform {
namespace {

TEST(Files, FoldersAreListedByNameWithoutCase) {
    testing::TempFolder folder;
    for (const char* name : {"fabric-loader-0.16", "1.21.4", "Beta", "1.16.5", "alpha", "1.12.2", "b", "B", "版本"}) {
        std::filesystem::create_directory(folder.path() + "/" + name);
    }
    ASSERT_TRUE(WriteFileAtomically(folder.path() + "/0-a-file", "x").ok());
    EXPECT_EQ(ListFolders(folder.path()),
              (std::vector<std::string>{"1.12.2", "1.16.5", "1.21.4", "alpha", "B", "b", "Beta",
                                        "fabric-loader-0.16", "版本"}));
    EXPECT_TRUE(ListFolders(folder.path() + "/missing").empty());
}

}  // namespace
}  // namespace kestrel::platform
