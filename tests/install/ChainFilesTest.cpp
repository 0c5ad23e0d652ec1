// The chain's file list for versions that are not whole on disk.

#include <gtest/gtest.h>

#include "install/ChainFiles.h"
#include "support/TempFolder.h"

namespace kestrel::install {
namespace {

TEST(ChainFilesTest, AChainThatIsNotInstalledGivesAnErrorNamingWhy) {
    struct Case {
        std::string manifest;  // of versions/child/child.json; empty for none
        std::string named;
    };
    const std::vector<Case> cases = {
        {"", "versions/child/child.json"},
        {"{not json", "versions/child/child.json"},
        {R"(["an array"])", "versions/child/child.json"},
        {R"({"id":"child","inheritsFrom":"parent"})", "versions/parent/parent.json"},
        {R"({"id":"child","inheritsFrom":"../../elsewhere"})", "../../elsewhere"},
        {R"({"id":"child","inheritsFrom":"a..b"})", "a..b"},
        {R"({"id":"child","downloads":{"client":{"sha1":"xyz","url":"https://piston-data.mojang.com/c.jar"}}})",
         "versions/child/child.jar"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.manifest);
        testing::TempFolder game;
        if (!c.manifest.empty()) game.Write("versions/child/child.json", c.manifest);
        const Result<ChainFileList> list =
            ListChainFiles(game.path(), "child", platform::HostProfile::Linux64(), net::UrlRewriter());
        ASSERT_FALSE(list);
        EXPECT_NE(list.error().find(c.named), std::string::npos) << list.error();
    }
}

TEST(ChainFilesTest, AChildsLibrariesComeFirstAndARepeatedPathOnce) {
    testing::TempFolder game;
    const std::string library = R"({"name":"org.example:shared:1.0","downloads":{"artifact":{"path":"org/example/shared/1.0/shared-1.0.jar","sha1":")";
    game.Write("versions/child/child.json", R"({"id":"child","inheritsFrom":"parent","libraries":[)" + library +
                                                std::string(40, 'c') + R"(","size":3,"url":"https://libraries.minecraft.net/c"}}}]})");
    game.Write("versions/parent/parent.json", R"({"id":"parent","libraries":[)" + library + std::string(40, 'b') +
                                                  R"(","size":3,"url":"https://libraries.minecraft.net/p"}}},)" +
                                                  R"({"name":"org.example:forged:1.0","downloads":{"artifact":{"path":"x/forged.jar","url":""}}}]})");
    const Result<ChainFileList> list = ListChainFiles(game.path(), "child", platform::HostProfile::Linux64(),
                                                      net::UrlRewriter(net::Mirror::kBmclapi, {}));
    ASSERT_TRUE(list) << list.error();
    // One file: the child's; the empty url is a file a loader's installer makes.
    ASSERT_EQ(list->files.size(), 1u);
    EXPECT_EQ(list->files[0].sha1, std::string(40, 'c'));
    EXPECT_EQ(list->files[0].url, "https://bmclapi2.bangbang93.com/maven/c");
    EXPECT_EQ(list->files[0].fallback_url, "https://libraries.minecraft.net/c");
    EXPECT_TRUE(list->asset_index_path.empty());
}

}  // namespace
}  // namespace kestrel::install
