#include "launch/VersionRecord.h"

#include <gtest/gtest.h>

#include "launch/GameFolder.h"
#include "launch/VersionManifests.h"

namespace kestrel::launch {
namespace {

// A 1.19-style manifest with everything installing needs.
constexpr const char* kFullManifest = R"({
  "id":"1.19.4","type":"release","mainClass":"net.minecraft.client.main.Main",
  "inheritsFrom":"base",
  "arguments":{
    "game":["--username","${auth_player_name}",
            {"rules":[{"action":"allow","features":{"has_custom_resolution":true}}],
             "value":["--width","${resolution_width}"]}],
    "jvm":[{"rules":[{"action":"allow","os":{"name":"windows"}}],"value":"-XX:HeapDumpPath=x"},
           "-cp","${classpath}"]},
  "libraries":[
    {"name":"org.lwjgl:lwjgl:3.3.1",
     "downloads":{"artifact":{"path":"org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1.jar","sha1":"ae58664f","size":724243,
                              "url":"https://libraries.example/lwjgl-3.3.1.jar"}}},
    {"name":"org.lwjgl.lwjgl:lwjgl-platform:2.9.4",
     "natives":{"linux":"natives-linux","windows":"natives-windows-${arch}"},
     "extract":{"exclude":["META-INF/"]},
     "downloads":{"classifiers":{"natives-linux":{"path":"p/l.jar","sha1":"01","size":578680,"url":"u"}}},
     "rules":[{"action":"allow"},{"action":"disallow","os":{"name":"osx","version":"^10\\.5"}}]},
    {"name":"net.fabricmc:tiny-remapper:0.8","url":"https://maven.example/"}],
  "assets":"3","assetIndex":{"id":"3","sha1":"c4","size":410000,"totalSize":557000000,"url":"https://i/3.json"},
  "logging":{"client":{"argument":"-Dlog4j.configurationFile=${path}","type":"log4j2-xml",
                       "file":{"id":"client-1.12.xml","sha1":"bd65","size":888,"url":"https://l/client-1.12.xml"}}},
  "javaVersion":{"component":"java-runtime-gamma","majorVersion":17},
  "downloads":{"client":{"sha1":"958928a5","size":23476620,"url":"https://c/client.jar"}}
})";

TEST(VersionRecord, AManifestReadsIntoTypedRecords) {
    testing::GameFolder game;
    game.Manifest("1.19.4", kFullManifest);
    const Manifest manifest = VersionManifests(game.path(), platform::HostProfile::Linux64()).Read("1.19.4");
    ASSERT_TRUE(manifest.ok);
    const VersionRecord& record = manifest.record;
    EXPECT_EQ(record.id, "1.19.4");
    EXPECT_EQ(record.type, "release");
    EXPECT_EQ(record.main_class, "net.minecraft.client.main.Main");
    EXPECT_EQ(record.inherits_from, "base");

    ASSERT_EQ(record.game_arguments.size(), 3u);
    EXPECT_EQ(record.game_arguments[1].text, "${auth_player_name}");
    const VersionArgument& width = record.game_arguments[2];
    EXPECT_EQ(width.kind, net::JsonKind::kObject);
    ASSERT_EQ(width.value_items.size(), 2u);
    EXPECT_EQ(width.value_items[1].text, "${resolution_width}");
    ASSERT_EQ(width.rules.rules.size(), 1u);
    EXPECT_EQ(width.rules.rules[0].features,
              (std::vector<std::pair<std::string, bool>>{{"has_custom_resolution", true}}));
    ASSERT_EQ(record.jvm_arguments.size(), 3u);
    EXPECT_EQ(record.jvm_arguments[0].value_text, "-XX:HeapDumpPath=x");
    EXPECT_TRUE(record.jvm_arguments[0].value_items.empty());
    EXPECT_EQ(record.jvm_arguments[0].rules.rules[0].os_name, "windows");

    ASSERT_EQ(record.libraries.size(), 3u);
    EXPECT_TRUE(record.libraries_in_array);
    const VersionLibrary& lwjgl = record.libraries[0];
    EXPECT_EQ(lwjgl.artifact.path, "org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1.jar");
    EXPECT_EQ(lwjgl.artifact.sha1, "ae58664f");
    EXPECT_EQ(lwjgl.artifact.size, 724243);
    EXPECT_EQ(lwjgl.artifact.url, "https://libraries.example/lwjgl-3.3.1.jar");
    EXPECT_FALSE(lwjgl.rules.given);
    const VersionLibrary& platform_natives = record.libraries[1];
    EXPECT_TRUE(platform_natives.has_natives);
    EXPECT_EQ(platform_natives.NativesClassifier("windows"), "natives-windows-${arch}");
    EXPECT_EQ(platform_natives.NativesClassifier("osx"), "");
    EXPECT_EQ(platform_natives.extract_exclude, std::vector<std::string>{"META-INF/"});
    ASSERT_EQ(platform_natives.classifiers.size(), 1u);
    EXPECT_EQ(platform_natives.classifiers[0].first, "natives-linux");
    EXPECT_EQ(platform_natives.classifiers[0].second.size, 578680);
    ASSERT_EQ(platform_natives.rules.rules.size(), 2u);
    EXPECT_EQ(platform_natives.rules.rules[1].action, "disallow");
    EXPECT_EQ(platform_natives.rules.rules[1].os_version, "^10\\.5");
    EXPECT_FALSE(platform_natives.artifact.given);
    EXPECT_EQ(record.libraries[2].url, "https://maven.example/");

    EXPECT_EQ(record.assets, "3");
    EXPECT_EQ(record.asset_index.id, "3");
    EXPECT_EQ(record.asset_index.total_size, 557000000);
    EXPECT_EQ(record.asset_index.url, "https://i/3.json");
    EXPECT_TRUE(record.logging.given);
    EXPECT_EQ(record.logging.argument, "-Dlog4j.configurationFile=${path}");
    EXPECT_EQ(record.logging.file.id, "client-1.12.xml");
    EXPECT_EQ(record.java_component, "java-runtime-gamma");
    EXPECT_EQ(record.java_major, "17");
    EXPECT_EQ(record.client.sha1, "958928a5");
    EXPECT_EQ(record.client.size, 23476620);
    EXPECT_FALSE(record.mentions_forge);
}

// The launch texts depend on how a manifest's values read as text: numbers
// keep their lexeme, null is absent, and a file that is no JSON still counts
// for the loader names it mentions.
TEST(VersionRecord, ValuesKeepTheDocumentsTextReading) {
    testing::GameFolder game;
    game.Manifest("odd", R"({"mainClass":1.10,"inheritsFrom":null,"minecraftArguments":true,
        "libraries":{"a":{"name":"x:y:1"}},"javaVersion":{"majorVersion":"8"},"assets":{"id":"no"}})");
    game.Manifest("broken", R"({"id":"1.12.2-forge", "mainClass": )");
    const VersionManifests manifests(game.path(), platform::HostProfile::Linux64());
    const VersionRecord odd = manifests.Read("odd").record;
    EXPECT_EQ(odd.main_class, "1.10");
    EXPECT_FALSE(odd.inherits_from.has_value());
    EXPECT_EQ(odd.minecraft_arguments, "true");
    EXPECT_FALSE(odd.libraries_in_array);
    ASSERT_EQ(odd.libraries.size(), 1u);
    EXPECT_EQ(odd.libraries[0].name, "x:y:1");
    EXPECT_EQ(odd.java_major, "8");
    EXPECT_EQ(odd.assets, "");

    const Manifest broken = manifests.Read("broken");
    EXPECT_FALSE(broken.ok);
    EXPECT_TRUE(broken.record.mentions_forge);
    EXPECT_EQ(broken.record.id, "");
    // The chain carries the records of every element.
    game.Manifest("child", R"({"inheritsFrom":"odd","mainClass":"c"})");
    const std::vector<ChainManifest> chain = manifests.ReadChain("child");
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[1].manifest.record.main_class, "1.10");
}

}  // namespace
}  // namespace kestrel::launch
