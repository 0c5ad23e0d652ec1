#include "launch/VersionManifests.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "launch/GameFolder.h"

namespace kestrel::launch {
namespace {

using platform::HostProfile;

// The game folder's manifests are written by each test.
using testing::GameFolder;

VersionManifests ManifestsOf(const GameFolder& game, HostProfile profile = HostProfile::Current()) {
    return VersionManifests(game.path(), profile);
}

using Chain = std::vector<std::string>;

TEST(VersionManifests, Chains) {
    GameFolder game;
    game.Manifest("1.12.2", R"({"id":"1.12.2","assets":"1.12","javaVersion":{"majorVersion":8}})");
    game.Manifest("1.12.2-forge", R"({"id":"1.12.2-forge","inheritsFrom":"1.12.2"})");
    game.Manifest("orphan", R"({"inheritsFrom":"gone"})");
    game.Manifest("a", R"({"inheritsFrom":"b"})");
    game.Manifest("b", R"({"inheritsFrom":"a"})");
    game.Manifest("self", R"({"inheritsFrom":"self"})");
    game.Manifest("empty-first", R"({"inheritsFrom":""})");
    game.Manifest("top", R"({"inheritsFrom":"mid"})");
    game.Manifest("mid", R"({"inheritsFrom":"","assets":"x"})");
    game.Manifest("null-parent", R"({"inheritsFrom":null})");
    game.Manifest("escape", R"({"inheritsFrom":"../../outside"})");
    game.Manifest("escape2", R"({"inheritsFrom":".."})");
    game.Manifest("escape3", R"({"inheritsFrom":"a\\b"})");
    game.Manifest("broken", R"({"inheritsFrom":"1.12.2")");
    game.Manifest("three", R"({"inheritsFrom":"1.12.2-forge"})");

    const VersionManifests manifests = ManifestsOf(game);
    const std::pair<std::string, Chain> cases[] = {
        {"1.12.2", {"1.12.2"}},
        {"1.12.2-forge", {"1.12.2-forge", "1.12.2"}},
        {"three", {"three", "1.12.2-forge", "1.12.2"}},
        {"orphan", {"orphan", "gone"}},          // a missing parent is still listed
        {"a", {"a", "b"}},                       // a cycle ends at the repeated id
        {"self", {"self"}},
        {"empty-first", {"empty-first"}},
        {"top", {"top", "mid"}},                 // an empty inheritsFrom ends the chain there
        {"null-parent", {"null-parent"}},
        {"escape", {"escape"}},                  // ids that leave versions are never read
        {"escape2", {"escape2"}},
        {"escape3", {"escape3"}},
        {"broken", {"broken"}},                  // an unparsable manifest has no parent
        {"not-installed", {"not-installed"}},
    };
    for (const auto& [id, chain] : cases) EXPECT_EQ(manifests.Chain(id), chain) << id;
}

TEST(VersionManifests, AssetsAndJavaRequirement) {
    GameFolder game;
    game.Manifest("1.16.5", R"({"assets":"1.16","javaVersion":{"majorVersion":17}})");
    game.Manifest("fabric", R"({"inheritsFrom":"1.16.5"})");
    game.Manifest("own", R"({"inheritsFrom":"1.16.5","assets":"own","javaVersion":{"majorVersion":8}})");
    game.Manifest("grandchild", R"({"inheritsFrom":"fabric"})");
    const VersionManifests manifests = ManifestsOf(game);
    EXPECT_EQ(manifests.AssetsIndexName("fabric"), "1.16");
    EXPECT_EQ(manifests.AssetsIndexName("own"), "own");
    EXPECT_EQ(manifests.AssetsIndexName("grandchild"), "");  // one level only
    EXPECT_EQ(manifests.AssetsIndexName("missing"), "");
    // The root-most declaration wins.
    EXPECT_EQ(manifests.RequiredJavaMajor(manifests.Chain("own")), "17");
    EXPECT_EQ(manifests.RequiredJavaMajor(manifests.Chain("fabric")), "17");
    EXPECT_EQ(manifests.RequiredJavaMajor({"missing"}), "");
}

TEST(VersionManifests, ReadDecodesUtf8AndReportsFailures) {
    GameFolder game;
    game.Manifest("zh", "{\"id\":\"\xE6\xB5\x8B\xE8\xAF\x95\",\"bad\":\"a\xFF\"}");
    game.Manifest("bad", "{not json");
    const VersionManifests manifests = ManifestsOf(game);
    const Manifest zh = manifests.Read("zh");
    EXPECT_TRUE(zh.ok);
    EXPECT_EQ(zh.document.GetText("id"), "测试");
    EXPECT_EQ(zh.document.GetText("bad"), "a?");
    const Manifest bad = manifests.Read("bad");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.document.ToText(), "{}");
    EXPECT_FALSE(manifests.Read("missing").ok);
    EXPECT_FALSE(manifests.Read("..").ok);
}

TEST(VersionManifests, PathsFollowTheHostProfile) {
    const VersionManifests windows("C:\\Games\\.minecraft", HostProfile::Windows64());
    EXPECT_EQ(windows.ManifestPath("1.12.2"), "C:\\Games\\.minecraft\\versions\\1.12.2\\1.12.2.json");
    EXPECT_EQ(windows.ClientJarPath("1.12.2"), "C:\\Games\\.minecraft\\versions\\1.12.2\\1.12.2.jar");
    const VersionManifests linux_("/home/p/.minecraft", HostProfile::Current());
    EXPECT_EQ(linux_.ClientJarPath("1.12.2"), "/home/p/.minecraft/versions/1.12.2/1.12.2.jar");
}

TEST(VersionManifests, WindowsTextsReadTheSameFilesHere) {
    GameFolder game;
    game.Manifest("1.12.2", R"({"id":"1.12.2"})");
    game.Manifest("forge", R"({"inheritsFrom":"1.12.2"})");
    const VersionManifests windows = ManifestsOf(game, HostProfile::Windows64());
    EXPECT_EQ(windows.Chain("forge"), (Chain{"forge", "1.12.2"}));
    EXPECT_TRUE(windows.Read("1.12.2").ok);
    EXPECT_EQ(windows.Installed().size(), 2u);
}

TEST(VersionManifests, InstalledListsFoldersButNotHiddenOrUnsavableOnes) {
    GameFolder game;
    game.Manifest("1.20.1", "{}");
    game.Folder("test");
    game.Folder(".cache");
    game.Manifest("zz", "{}");
    // Names the options file could not hold as the selected version: one
    // would read back as memory 0, one cut at its quote.
    game.Folder("x\r\nMemory=\"0");
    game.Folder("line\nend");
    game.Folder("say \"hi\"");
    game.Folder("tab\there");
    std::vector<std::string> installed = ManifestsOf(game).Installed();
    std::sort(installed.begin(), installed.end());
    EXPECT_EQ(installed, (Chain{"1.20.1", "test", "zz"}));
    EXPECT_TRUE(VersionManifests("/nonexistent/folder", HostProfile::Current()).Installed().empty());
}

}  // namespace
}  // namespace kestrel::launch
