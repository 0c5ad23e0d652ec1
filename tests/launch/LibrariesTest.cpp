#include "launch/Libraries.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "launch/GameFolder.h"

namespace kestrel::launch {
namespace {

using platform::HostProfile;

// The game folder's manifests and library files are written by each test.
using testing::GameFolder;

Libraries LibrariesOf(const GameFolder& game, const HostProfile& profile) {
    return Libraries(VersionManifests(game.path(), profile));
}

// The texts a test expects, with "/" turned into the profile's separator.
std::string As(const HostProfile& profile, std::string text) {
    for (char& c : text) {
        if (c == '/') c = profile.path_sep;
    }
    return text;
}

const std::vector<HostProfile> kProfiles = {HostProfile::Windows64(), HostProfile::Linux64()};

TEST(LibraryPath, CoordinatesMapToPathsBelowTheLibraryFolder) {
    struct Case {
        std::string name;
        std::string suffix;
        std::string path;  // "" when the coordinate is skipped
    };
    const Case cases[] = {
        {"net.minecraftforge:forge:1.12.2-14.23.5.2860", "",
         R"(net\minecraftforge\forge\1.12.2-14.23.5.2860\forge-1.12.2-14.23.5.2860.jar)"},
        {"org.lwjgl:lwjgl:3.3.1:natives-windows", "", R"(org\lwjgl\lwjgl\3.3.1\lwjgl-3.3.1-natives-windows.jar)"},
        // "@" names the extension: the folder keeps the plain version, no ".jar".
        {"de.oceanlabs.mcp:mcp_config:1.16.5-20210115.111550@zip", "",
         R"(de\oceanlabs\mcp\mcp_config\1.16.5-20210115.111550\mcp_config-1.16.5-20210115.111550.zip)"},
        // A classifier after "@" wins, with the replaced version in both places.
        {"g:a:1.0@zip:extra", "", R"(g\a\1.0.zip\a-1.0.zip-extra.jar)"},
        // "installer" and an empty fourth part are ignored.
        {"net.minecraftforge:forge:1.12.2:installer", "", R"(net\minecraftforge\forge\1.12.2\forge-1.12.2.jar)"},
        {"g:a:1:", "", R"(g\a\1\a-1.jar)"},
        // The natives unpacker's suffix goes before the classifier.
        {"org.lwjgl.lwjgl:lwjgl-platform:2.9.4", "-natives-windows",
         R"(org\lwjgl\lwjgl\lwjgl-platform\2.9.4\lwjgl-platform-2.9.4-natives-windows.jar)"},
        {"g:a:1:c", "-s", R"(g\a\1\a-1-s-c.jar)"},
        // Too few parts, and pieces that would leave the library folder.
        {"", "", ""},
        {"g:a", "", ""},
        {"g:..:1", "", ""},
        {"g:a:..", "", ""},
        {"g:a:.", "", ""},
        {"g:a:..@zip", "", ""},
        {"g:a:../../../outside", "", ""},
        {"/etc:a:1", "", ""},
        {"g:a\\b:1", "", ""},
        {"g:a:1:../../x", "", ""},
        {"g:a:1", "/../x", ""},
        {std::string("g:a:1\0x", 7), "", ""},
        // Dots in the group only make (harmless) empty folder names.
        {"..:a:1", "", R"(\\\a\1\a-1.jar)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RelativeLibraryPath(c.name, '\\', c.suffix), c.path) << c.name;
    }
    EXPECT_EQ(RelativeLibraryPath("org.lwjgl:lwjgl:3.3.1:natives-linux", '/'),
              "org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar");
}

TEST(LibraryPath, VersionNewer) {
    struct Case {
        std::string current, candidate;
        bool newer;
    };
    const Case cases[] = {
        {"2.8.1", "2.17.1", true},  // numbers, not texts
        {"2.17.1", "2.8.1", false},
        {"2.17.1", "2.17.1", false},
        {"", "2.8.1", true},         // nothing seen yet
        {"", "", false},
        {"", "-1", false},
        {"2.17.1", "2.17", true},    // all compared parts equal
        {"2.17", "2.17.0", true},
        {"2.x", "2.0", true},        // a part that is no number counts as 0
        {"2.0", "2.x", true},
        {"2.1", "2.x", false},
        {"1.0", "1.00000001", true},  // within the tolerance: equal
        {"1.10", "1.9", false},
    };
    for (const Case& c : cases) EXPECT_EQ(VersionNewer(c.current, c.candidate), c.newer) << c.current << " " << c.candidate;
}

// A vanilla version and a Forge version on top of it, with one library of
// each kind the list has rules for.
void WriteForgeChain(const GameFolder& game) {
    game.Manifest("1.12.2", R"({"id":"1.12.2","libraries":[
      {"name":"com.mojang:patchy:1.1","downloads":{"artifact":{"url":"https://libraries.example/patchy-1.1.jar"}}},
      {"name":"org.lwjgl.lwjgl:lwjgl-platform:2.9.4","natives":{"windows":"natives-windows"},
       "downloads":{"artifact":{"url":"https://x/y.jar"}}},
      {"name":"ca.weblite:java-objc-bridge:1.0.0","rules":[{"action":"allow","os":{"name":"osx"}}],
       "downloads":{"artifact":{"url":"https://x/objc.jar"}}},
      {"name":"org.lwjgl.lwjgl:lwjgl:2.9.4","rules":[{"action":"allow"},{"action":"disallow","os":{"name":"osx"}}],
       "downloads":{"artifact":{"url":"https://x/lwjgl.jar"}}},
      {"name":"com.example:unfetchable:1.0"},
      {"name":"org.apache.logging.log4j:log4j-api:2.8.1","downloads":{"artifact":{"url":"https://x/api.jar"}}},
      {"name":"org.apache.logging.log4j:log4j-core:2.8.1","downloads":{"artifact":{"url":"https://x/core.jar"}}},
      {"downloads":{"artifact":{"url":"https://x/nameless.jar"}}},
      {"name":"two:parts","url":"https://x/"},
      {"name":"evil:..:1","url":"https://x/"}
    ]})");
    game.Manifest("1.12.2-forge", R"({"id":"1.12.2-forge","inheritsFrom":"1.12.2","libraries":[
      {"name":"net.minecraftforge:forge:1.12.2-14.23.5.2860","downloads":{"artifact":{"url":""}}},
      {"name":"org.ow2.asm:asm-all:5.2","url":"https://maven.example/"},
      {"name":"com.mojang:patchy:1.1","downloads":{"artifact":{"url":"https://libraries.example/patchy-1.1.jar"}}},
      {"name":"org.apache.logging.log4j:log4j-core:2.17.1","url":"https://maven.example/"}
    ]})");
}

TEST(Libraries, ListFollowsTheChainAndItsRules) {
    GameFolder game;
    WriteForgeChain(game);
    for (const HostProfile& profile : kProfiles) {
        const std::string lib = game.path() + As(profile, "/libraries/");
        const std::vector<LibraryRecord> forge = LibrariesOf(game, profile).List("1.12.2-forge");
        struct Expected {
            std::string name, relative;
            LibrarySource source;
            std::string url;
        };
        const std::vector<Expected> expected = {
            // The Forge manifest's own entry has an empty artifact URL; it is
            // listed because the manifest mentions Forge.
            {"net.minecraftforge:forge:1.12.2-14.23.5.2860",
             "net/minecraftforge/forge/1.12.2-14.23.5.2860/forge-1.12.2-14.23.5.2860.jar",
             LibrarySource::kLoaderRepository, ""},
            {"org.ow2.asm:asm-all:5.2", "org/ow2/asm/asm-all/5.2/asm-all-5.2.jar", LibrarySource::kRepository,
             "https://maven.example/org/ow2/asm/asm-all/5.2/asm-all-5.2.jar"},
            {"com.mojang:patchy:1.1", "com/mojang/patchy/1.1/patchy-1.1.jar", LibrarySource::kArtifact,
             "https://libraries.example/patchy-1.1.jar"},
            // Duplicates stay.
            {"com.mojang:patchy:1.1", "com/mojang/patchy/1.1/patchy-1.1.jar", LibrarySource::kArtifact,
             "https://libraries.example/patchy-1.1.jar"},
            {"org.lwjgl.lwjgl:lwjgl:2.9.4", "org/lwjgl/lwjgl/lwjgl/2.9.4/lwjgl-2.9.4.jar", LibrarySource::kArtifact,
             "https://x/lwjgl.jar"},
            // The Forge mode carries down to the vanilla parent.
            {"com.example:unfetchable:1.0", "com/example/unfetchable/1.0/unfetchable-1.0.jar",
             LibrarySource::kLoaderRepository, ""},
            // The newest log4j pair, api first, after everything else.
            {"org.apache.logging.log4j:log4j-api:2.8.1", "org/apache/logging/log4j/log4j-api/2.8.1/log4j-api-2.8.1.jar",
             LibrarySource::kArtifact, "https://x/api.jar"},
            {"org.apache.logging.log4j:log4j-core:2.17.1",
             "org/apache/logging/log4j/log4j-core/2.17.1/log4j-core-2.17.1.jar", LibrarySource::kRepository,
             "https://maven.example/org/apache/logging/log4j/log4j-core/2.17.1/log4j-core-2.17.1.jar"},
        };
        ASSERT_EQ(forge.size(), expected.size()) << profile.os_name;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(forge[i].name, expected[i].name) << i;
            EXPECT_EQ(forge[i].path, lib + As(profile, expected[i].relative)) << i;
            EXPECT_EQ(forge[i].source, expected[i].source) << i;
            EXPECT_EQ(forge[i].url, expected[i].url) << i;
        }

        // Without a loader in the chain, the unfetchable library is left out.
        std::vector<std::string> vanilla;
        for (const LibraryRecord& record : LibrariesOf(game, profile).List("1.12.2")) vanilla.push_back(record.name);
        EXPECT_EQ(vanilla, (std::vector<std::string>{"com.mojang:patchy:1.1", "org.lwjgl.lwjgl:lwjgl:2.9.4",
                                                     "org.apache.logging.log4j:log4j-api:2.8.1",
                                                     "org.apache.logging.log4j:log4j-core:2.8.1"}));
    }
}

TEST(Libraries, LoaderModeAndLog4jPairing) {
    GameFolder game;
    // Only log4j-core along this chain: neither logging library is listed.
    game.Manifest("core-only", R"({"libraries":[
      {"name":"a:b:1","url":"https://x/"},
      {"name":"org.apache.logging.log4j:log4j-core:2.17.1","url":"https://x/"}]})");
    // OptiFine (any case) counts like Forge, and so does "forge" anywhere in
    // the text, not only in a library name.
    game.Manifest("optifine", R"({"id":"1.12.2-OPTIFINE_HD_U","libraries":[{"name":"optifine:OptiFine:1.12.2_HD_U_G5"}]})");
    game.Manifest("mentions", R"({"id":"x","mainClass":"net.minecraftforge.Launch","libraries":[{"name":"c:d:1"}]})");
    game.Manifest("plain", R"({"id":"plain","libraries":[{"name":"c:d:1"}]})");
    const Libraries libraries = LibrariesOf(game, HostProfile::Linux64());
    const auto names = [&](const std::string& id) {
        std::vector<std::string> list;
        for (const LibraryRecord& record : libraries.List(id)) list.push_back(record.name);
        return list;
    };
    EXPECT_EQ(names("core-only"), (std::vector<std::string>{"a:b:1"}));
    EXPECT_EQ(names("optifine"), (std::vector<std::string>{"optifine:OptiFine:1.12.2_HD_U_G5"}));
    EXPECT_EQ(names("mentions"), (std::vector<std::string>{"c:d:1"}));
    EXPECT_TRUE(names("plain").empty());
}

TEST(Libraries, ClasspathKeepsExistingFilesAndEndsWithTheRootClientJar) {
    GameFolder game;
    WriteForgeChain(game);
    for (const HostProfile& profile : kProfiles) {
        const std::string client = game.path() + As(profile, "/versions/1.12.2/1.12.2.jar");
        // No library files at all: just the client jar, which need not exist.
        EXPECT_EQ(LibrariesOf(game, profile).Classpath("1.12.2-forge"), client) << profile.os_name;
    }
    game.LibraryFile("com/mojang/patchy/1.1/patchy-1.1.jar");
    game.LibraryFile("org/apache/logging/log4j/log4j-core/2.17.1/log4j-core-2.17.1.jar");
    game.LibraryFile("org/apache/logging/log4j/log4j-api/2.8.1/log4j-api-2.8.1.jar");
    // The objc bridge's file exists, but its first rule names osx; a folder
    // in place of a jar is no library either.
    game.LibraryFile("ca/weblite/java-objc-bridge/1.0.0/java-objc-bridge-1.0.0.jar");
    std::filesystem::create_directories(game.path() + "/libraries/org/ow2/asm/asm-all/5.2/asm-all-5.2.jar");
    for (const HostProfile& profile : kProfiles) {
        const std::string s(1, profile.classpath_sep);
        const std::string lib = game.path() + As(profile, "/libraries/");
        const std::string patchy = lib + As(profile, "com/mojang/patchy/1.1/patchy-1.1.jar");
        const std::string expected =
            patchy + s + patchy + s +
            lib + As(profile, "org/apache/logging/log4j/log4j-api/2.8.1/log4j-api-2.8.1.jar") + s +
            lib + As(profile, "org/apache/logging/log4j/log4j-core/2.17.1/log4j-core-2.17.1.jar") + s +
            game.path() + As(profile, "/versions/1.12.2/1.12.2.jar");
        EXPECT_EQ(LibrariesOf(game, profile).Classpath("1.12.2-forge"), expected) << profile.os_name;
    }
    // A library of a non-loader manifest without any download location is
    // not on the classpath even when its file exists.
    game.LibraryFile("com/example/unfetchable/1.0/unfetchable-1.0.jar");
    EXPECT_EQ(LibrariesOf(game, HostProfile::Linux64()).Classpath("1.12.2").find("unfetchable"), std::string::npos);
    EXPECT_NE(LibrariesOf(game, HostProfile::Linux64()).Classpath("1.12.2-forge").find("unfetchable"), std::string::npos);
}

TEST(Libraries, BadManifestsGiveNoLibraries) {
    GameFolder game;
    // An object in place of the array, entries that are no objects, a name
    // that is no string, binary garbage, and a missing manifest.
    game.Manifest("object", R"({"libraries":{"x":{"name":"a:b:1","url":"https://x/"}}})");
    game.Manifest("odd-entries", R"({"libraries":[1,"a:b:1",null,[],{"name":{"a":1},"url":"u"},{"name":7,"url":"u"}]})");
    game.Manifest("binary", std::string("\x89PNG\r\n\x1a\n\0\0\xff\xfe forge libraries[0]", 31));
    game.Manifest("child", R"({"inheritsFrom":"missing","libraries":[{"name":"a:b:1","url":"https://x/"}]})");
    game.Manifest("nul", "{\"libraries\":[{\"name\":\"a:b\\u0000/../..:1\",\"url\":\"u\"}]}");
    const Libraries libraries = LibrariesOf(game, HostProfile::Windows64());
    for (const std::string id : {"object", "odd-entries", "binary", "missing", "nul", "../escape"}) {
        EXPECT_TRUE(libraries.List(id).empty()) << id;
    }
    EXPECT_EQ(libraries.List("child").size(), 1u);
    EXPECT_EQ(libraries.Classpath("binary"), game.path() + "\\versions\\binary\\binary.jar");
    EXPECT_EQ(libraries.Classpath("child"), game.path() + "\\versions\\missing\\missing.jar");
    EXPECT_EQ(libraries.ClasspathOfChain({}), "");
    EXPECT_EQ(libraries.LibraryFolder(), game.path() + "\\libraries");
}

}  // namespace
}  // namespace kestrel::launch
