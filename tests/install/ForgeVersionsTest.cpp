// Forge's and NeoForge's version lists: the strict reader of
// maven-metadata.xml, the ordering by version numbers, the exact match of
// the game version, and the lists fetched from a repository on 127.0.0.1.

#include <gtest/gtest.h>

#include "download/FileServer.h"
#include "install/ForgeVersions.h"
#include "install/LoaderVersionOrder.h"
#include "install/Loaders.h"
#include "install/MavenMetadata.h"
#include "install/SyntheticVersion.h"

namespace kestrel::install {
namespace {

std::string Metadata(const std::string& group, const std::string& artifact, const std::vector<std::string>& versions) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<metadata>\n  <groupId>" + group +
                      "</groupId>\n  <artifactId>" + artifact + "</artifactId>\n  <versioning>\n    <release>" +
                      versions.front() + "</release>\n    <versions>\n";
    for (const std::string& version : versions) xml += "      <version>" + version + "</version>\n";
    return xml + "    </versions>\n    <lastUpdated>20241201000000</lastUpdated>\n  </versioning>\n</metadata>\n";
}

std::vector<std::string> Names(const std::vector<LoaderVersion>& versions) {
    std::vector<std::string> names;
    for (const LoaderVersion& version : versions) names.push_back(version.version + (version.stable ? "" : " (unstable)"));
    return names;
}

TEST(MavenMetadataTest, ReadsTheVersionsOfWellFormedFilesOnly) {
    const Result<std::vector<std::string>> plain =
        ParseMavenMetadata(Metadata("net.neoforged", "neoforge", {"21.1.1", "21.1.2", "21.1.1"}), "m");
    ASSERT_TRUE(plain) << plain.error();
    EXPECT_EQ(*plain, (std::vector<std::string>{"21.1.1", "21.1.2"}));

    const Result<std::vector<std::string>> rich = ParseMavenMetadata(
        "\xEF\xBB\xBF<!-- c --><metadata a='1'><versioning><versions><!-- old -->"
        "<version> 1.0&#x2d;a </version><version><![CDATA[1.0-b]]></version><version>x&amp;y</version>"
        "</versions><version>not in versions</version></versioning></metadata>",
        "m");
    ASSERT_TRUE(rich) << rich.error();
    EXPECT_EQ(*rich, (std::vector<std::string>{"1.0-a", "1.0-b", "x&y"}));

    const char* const kBroken[] = {
        "",
        "<metadata><versioning><versions><version>1</version></versions></versioning>",
        "<metadata><versioning></versions></versioning></metadata>",
        "<!DOCTYPE m [<!ENTITY a \"aaaa\">]><metadata>&a;</metadata>",
        "<metadata><version>1&bogus;</version></metadata>",
        "<metadata></metadata><metadata></metadata>",
        "<metadata a=1></metadata>",
        "<metadata>1 < 2</metadata>",
        "<metadata><!-- a -- b --></metadata>",
        "{\"versions\":[]}",
    };
    for (const char* text : kBroken) EXPECT_FALSE(ParseMavenMetadata(text, "m")) << text;
    std::string deep;
    for (int i = 0; i < 40; ++i) deep += "<a>";
    for (int i = 0; i < 40; ++i) deep += "</a>";
    EXPECT_FALSE(ParseMavenMetadata(deep, "m"));
}

TEST(ForgeVersionsTest, ComparesForgeAndNeoForgeVersionsByNumbers) {
    struct Case {
        const char* older;
        const char* newer;
    };
    const Case kCases[] = {
        {"47.4.9", "47.4.10"},           {"1.20.1-47.1.0", "1.20.1-47.10.0"},
        {"21.1.0-beta", "21.1.0"},       {"21.1.0", "21.1.1-beta"},
        {"14.23.5.2859", "14.23.5.2860"}, {"10.13.4.1614-1.7.10", "10.13.4.1615-1.7.10"},
        {"20.2.3-beta", "20.2.10-beta"}, {"1.0", "1.0.1"},
        {"99999999999999999999.1", "100000000000000000000.0"},
    };
    for (const Case& c : kCases) {
        EXPECT_LT(CompareVersions(c.older, c.newer), 0) << c.older << " < " << c.newer;
        EXPECT_GT(CompareVersions(c.newer, c.older), 0) << c.newer << " > " << c.older;
    }
}

TEST(ForgeVersionsTest, OffersTheGameVersionsOwnStableFirstNewestFirst) {
    const InstallSettings settings;
    // Forge's file lists the newest first, by no reliable rule.
    const std::vector<std::string> forge = {"1.21.11-61.0.1", "1.21.1-52.0.10", "1.21.1-52.0.9",
                                            "1.21.1-52.0.2-beta", "1.21.1-52.0.1-beta", "1.21-51.0.33",
                                            "1.21.1-52.0.40", "1.7.10-10.13.4.1614-1.7.10", "1.7.10_pre4-10.12.2.1149"};
    const ForgeArtifact forge_artifact = ArtifactFor(settings, Loader::kForge, "1.21.1");
    EXPECT_EQ(Names(OfferedVersions(forge_artifact, forge, "1.21.1")),
              (std::vector<std::string>{"1.21.1-52.0.40", "1.21.1-52.0.10", "1.21.1-52.0.9",
                                        "1.21.1-52.0.2-beta (unstable)", "1.21.1-52.0.1-beta (unstable)"}));
    EXPECT_EQ(Names(OfferedVersions(forge_artifact, forge, "1.21")), (std::vector<std::string>{"1.21-51.0.33"}));
    EXPECT_EQ(Names(OfferedVersions(forge_artifact, forge, "1.7.10")),
              (std::vector<std::string>{"1.7.10-10.13.4.1614-1.7.10"}));

    // NeoForge's lists the oldest first; the first two numbers are the game's.
    const std::vector<std::string> neoforge = {"20.4.80-beta", "20.4.237", "21.0.167", "21.1.1", "21.1.9",
                                               "21.1.10", "21.10.5-beta", "21.10.20", "0.25w14craftmine.3-beta"};
    const ForgeArtifact neo = ArtifactFor(settings, Loader::kNeoForge, "1.21.1");
    EXPECT_EQ(neo.artifact, "neoforge");
    EXPECT_EQ(Names(OfferedVersions(neo, neoforge, "1.21.1")),
              (std::vector<std::string>{"21.1.10", "21.1.9", "21.1.1"}));
    EXPECT_EQ(Names(OfferedVersions(neo, neoforge, "1.21")), (std::vector<std::string>{"21.0.167"}));
    EXPECT_EQ(Names(OfferedVersions(neo, neoforge, "1.21.10")),
              (std::vector<std::string>{"21.10.20", "21.10.5-beta (unstable)"}));
    EXPECT_EQ(Names(OfferedVersions(neo, neoforge, "1.20.4")),
              (std::vector<std::string>{"20.4.237", "20.4.80-beta (unstable)"}));
    // NeoForge for 1.20.1 kept Forge's artifact shape.
    const ForgeArtifact legacy = ArtifactFor(settings, Loader::kNeoForge, "1.20.1");
    EXPECT_EQ(legacy.InstallerUrl("1.20.1-47.1.106"),
              "https://maven.neoforged.net/releases/net/neoforged/forge/1.20.1-47.1.106/forge-1.20.1-47.1.106-installer.jar");
}

TEST(ForgeVersionsTest, ListsFromTheRepositoryThroughTheMirror) {
    testing::FileServer server;
    server.Put("/bmcl/maven/net/minecraftforge/forge/maven-metadata.xml",
               Metadata("net.minecraftforge", "forge", {"1.20.1-47.1.0", "1.20.1-47.4.10", "1.20.2-48.0.1"}));
    server.Put("/neo/net/neoforged/forge/maven-metadata.xml",
               Metadata("net.neoforged", "forge", {"1.20.1-47.1.3", "1.20.1-47.1.106"}));
    server.Put("/neo/net/neoforged/neoforge/maven-metadata.xml", "<metadata><versioning>");
    InstallSettings settings;
    settings.rewriter = net::UrlRewriter(net::Mirror::kBmclapi, {{"https://bmclapi2.bangbang93.com", server.Url("/bmcl")}});
    settings.neoforge_maven = server.Url("/neo");

    const Result<std::vector<LoaderVersion>> forge = ListLoaderVersions(settings, Loader::kForge, "1.20.1");
    ASSERT_TRUE(forge) << forge.error();
    EXPECT_EQ(Names(*forge), (std::vector<std::string>{"1.20.1-47.4.10", "1.20.1-47.1.0"}));

    const Result<std::vector<LoaderVersion>> neo = ListLoaderVersions(settings, Loader::kNeoForge, "1.20.1");
    ASSERT_TRUE(neo) << neo.error();
    EXPECT_EQ(Names(*neo), (std::vector<std::string>{"1.20.1-47.1.106", "1.20.1-47.1.3"}));

    const Result<std::vector<LoaderVersion>> broken = ListLoaderVersions(settings, Loader::kNeoForge, "1.21.1");
    ASSERT_FALSE(broken);
    EXPECT_NE(broken.error().find("/neo/net/neoforged/neoforge/maven-metadata.xml"), std::string::npos) << broken.error();
    settings.forge_maven = server.Url("/nothing");
    settings.rewriter = net::UrlRewriter();
    EXPECT_FALSE(ListLoaderVersions(settings, Loader::kForge, "1.20.1"));
}

}  // namespace
}  // namespace kestrel::install
