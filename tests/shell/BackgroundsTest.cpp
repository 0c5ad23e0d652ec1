// The background picture drawn from KSTfiles/Backgrounds, and the file search
// behind it.

#include "shell/Backgrounds.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "toolkit/Assets.h"
#include "StartUpFixture.h"

namespace kestrel::shell {
namespace {

using testing::StartUpFixture;

TEST(Backgrounds, DrawsOnePictureFromTheFolderOrShowsTheBuiltInOne) {
    struct Case {
        const char* name;
        std::vector<std::string> files;  // under KSTfiles/Backgrounds; the content is the name
        std::uint32_t draw;              // what the random source answers
        std::string shown;               // the file shown, "" for the built-in picture
        std::uint32_t count;             // the top of the range drawn from (0: no draw)
    };
    const Case cases[] = {
        {"empty folder", {}, 1, "", 0},
        {"one picture is always shown", {"only.jpg"}, 1, "only.jpg", 1},
        {"a picture in a subfolder", {"a.jpg", "holiday/b.jpg"}, 2, "holiday/b.jpg", 2},
        {"files of a folder before its subfolders", {"z/a.jpg", "y.jpg"}, 1, "y.jpg", 2},
        {"the pattern ignores case", {"SHOUT.JPG", "notes.txt"}, 1, "SHOUT.JPG", 1},
        {"only jpg counts", {"wide.png", "photo.jpeg", "readme.jpg.txt"}, 1, "", 0},
        {"hidden files and folders are skipped", {".secret.jpg", ".cache/c.jpg", "shown.jpg"}, 1, "shown.jpg", 1},
        {"the last of three", {"1.jpg", "2.jpg", "3.jpg"}, 3, "3.jpg", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartUpFixture f({c.draw});
        f.folder.MakeFolder("program/KSTfiles/Backgrounds");
        for (const std::string& file : c.files) f.Write("KSTfiles/Backgrounds/" + file, file);
        ChooseBackground(f.ctx);
        const std::string expected = c.shown.empty() ? std::string(toolkit::Asset("background.jpg")) : c.shown;
        EXPECT_EQ(f.window->Picture("背景"), expected);
        const auto ranges = f.random.Ranges();
        if (c.count == 0) {
            EXPECT_TRUE(ranges.empty());
        } else {
            ASSERT_EQ(ranges.size(), 1u);
            EXPECT_EQ(ranges[0], std::make_pair(1u, c.count));
        }
    }
}

TEST(Backgrounds, AMissingFolderOrALinkLoopEndsTheSearch) {
    StartUpFixture f;
    EXPECT_TRUE(FindFiles(f.Program("KSTfiles/Backgrounds"), ".jpg", f.host).empty());
    f.Write("KSTfiles/Backgrounds/deep/a.jpg", "a");
    std::filesystem::create_directory_symlink(f.Program("KSTfiles/Backgrounds"), f.Program("KSTfiles/Backgrounds/deep/loop"));
    EXPECT_EQ(FindFiles(f.Program("KSTfiles/Backgrounds"), ".jpg", f.host),
              (std::vector<std::string>{f.Program("KSTfiles/Backgrounds/deep/a.jpg")}));
}

}  // namespace
}  // namespace kestrel::shell
