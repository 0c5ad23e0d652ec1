#include "platform/FilesBelow.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "support/TempFolder.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;

TEST(FilesBelow, PiecesThatCouldLeaveTheFolderAreRefusedBeforeAnythingIsTouched) {
    testing::TempFolder temp;
    const std::string source = temp.Write("source", "bytes");
    const std::string folder = temp.path() + "/target";
    const std::vector<std::vector<std::string>> refused = {
        {}, {""}, {"."}, {".."}, {"..", "escape"}, {"a/b"}, {"/abs"}, {std::string("a\0b", 3)}, {"ok", ""}};
    for (const auto& pieces : refused) {
        EXPECT_FALSE(ArePlainPieces(pieces));
        EXPECT_FALSE(CopyFileBelow(source, 5, folder, pieces).ok());
        EXPECT_EQ(RegularFileSizeBelow(temp.path(), pieces), std::nullopt);
    }
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(fs::exists(temp.path() + "/escape"));
}

TEST(FilesBelow, ACopyIsWholeOrNotThere) {
    testing::TempFolder temp;
    const std::string source = temp.Write("source", "bytes");
    const std::string folder = temp.path() + "/target";
    // A source of another size than expected writes nothing, not even a
    // temporary file.
    for (const std::uint64_t size : {4u, 6u}) {
        EXPECT_FALSE(CopyFileBelow(source, size, folder, {"a", "b"}).ok()) << size;
        EXPECT_EQ(RegularFileSizeBelow(folder, {"a", "b"}), std::nullopt);
    }
    EXPECT_FALSE(CopyFileBelow(temp.path() + "/missing", 0, folder, {"c"}).ok());
    EXPECT_FALSE(CopyFileBelow(temp.path(), 0, folder, {"c"}).ok());  // a folder as the source
    ASSERT_TRUE(CopyFileBelow(source, 5, folder, {"a", "b"}).ok());
    EXPECT_EQ(ReadFile(folder + "/a/b"), "bytes");
    EXPECT_EQ(RegularFileSizeBelow(folder, {"a", "b"}), 5u);
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) names.push_back(entry.path().filename());
    EXPECT_EQ(names.size(), 2u);  // a and a/b
    // A file seen through a link is not reported as there.
    fs::create_symlink(folder + "/a/b", folder + "/link");
    fs::create_directory_symlink(folder + "/a", folder + "/folder-link");
    EXPECT_EQ(RegularFileSizeBelow(folder, {"link"}), std::nullopt);
    EXPECT_EQ(RegularFileSizeBelow(folder, {"folder-link", "b"}), std::nullopt);
}

}  // namespace
}  // namespace kestrel::platform
