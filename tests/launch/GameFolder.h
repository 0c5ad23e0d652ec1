#pragma once

// A game folder for launch tests: manifests, library files, a fake Java home
// whose `release` names its version, all under one temporary folder.

#include <filesystem>
#include <functional>
#include <string>

#include "support/TempFolder.h"

namespace kestrel::testing {

class GameFolder {
public:
    const std::string& root() const { return temp_.path(); }
    // The game folder itself: <root>/.minecraft.
    std::string path() const { return temp_.path() + "/.minecraft"; }

    void Manifest(const std::string& id, const std::string& json) const {
        temp_.Write(".minecraft/versions/" + id + "/" + id + ".json", json);
    }
    // An empty version folder without a manifest.
    void Folder(const std::string& id) const { temp_.MakeFolder(".minecraft/versions/" + id); }
    // Creates the file of a library; relative uses "/".
    void LibraryFile(const std::string& relative) const { File("libraries/" + relative, "jar"); }
    // A file below the game folder.
    std::string File(const std::string& relative, const std::string& bytes = "x") const {
        return temp_.Write(".minecraft/" + relative, bytes);
    }
    // Writes an asset object with these bytes and gives its hash, which is
    // made up (the launch checks sizes, not hashes).
    std::string AssetObject(const std::string& bytes) const {
        std::string hash = std::to_string(std::hash<std::string>{}(bytes) % 100000000000ull);
        hash = std::string(40 - hash.size(), 'a') + hash;
        File("assets/objects/" + hash.substr(0, 2) + "/" + hash, bytes);
        return hash;
    }
    // A fake Java home <root>/<name> with bin/java and bin/javaw.exe; gives the
    // path of bin/java.
    std::string FakeJava(const std::string& name, const std::string& version) const {
        temp_.Write(name + "/release", "JAVA_VERSION=\"" + version + "\"\nOS_ARCH=\"amd64\"\n");
        temp_.Write(name + "/bin/javaw.exe", "");
        return temp_.Write(name + "/bin/java", "");
    }

private:
    TempFolder temp_;
};

// Manifests of the shapes the launcher meets, as JSON texts.
namespace manifests {

inline const std::string kLegacyArguments =
    "--username ${auth_player_name} --version ${version_name} --gameDir ${game_directory} "
    "--assetsDir ${assets_root} --assetIndex ${assets_index_name} --uuid ${auth_uuid} "
    "--accessToken ${auth_access_token} --userType ${user_type} --versionType ${version_type}";

// Vanilla 1.12.2: legacy arguments, an LWJGL 2 natives library.
inline std::string Vanilla1122(const std::string& extra_arguments = "") {
    return R"({"id":"1.12.2","assets":"1.12","mainClass":"net.minecraft.client.main.Main",
      "minecraftArguments":")" + kLegacyArguments + extra_arguments + R"(",
      "libraries":[
        {"name":"com.mojang:patchy:1.3.9","downloads":{"artifact":{"url":"https://libraries.minecraft.net/p.jar"}}},
        {"name":"org.lwjgl.lwjgl:lwjgl-platform:2.9.4-nightly-20150209",
         "natives":{"linux":"natives-linux","osx":"natives-osx","windows":"natives-windows-${arch}"},
         "downloads":{"classifiers":{}}}]})";
}

// Vanilla 1.19: arguments in manifest form with rule-guarded entries, Java 17,
// LWJGL 3 natives listed as libraries with a classifier.
inline std::string Vanilla119(const std::string& id = "1.19") {
    return R"({"id":")" + id + R"(","assets":"1.19","javaVersion":{"component":"java-runtime-gamma","majorVersion":17},
      "mainClass":"net.minecraft.client.main.Main",
      "arguments":{
        "game":["--username","${auth_player_name}","--version","${version_name}","--gameDir","${game_directory}",
          "--assetsDir","${assets_root}","--assetIndex","${assets_index_name}","--uuid","${auth_uuid}",
          "--accessToken","${auth_access_token}","--clientId","${clientid}","--xuid","${auth_xuid}",
          "--userType","${user_type}","--versionType","${version_type}",
          {"rules":[{"action":"allow","features":{"is_demo_user":true}}],"value":"--demo"},
          {"rules":[{"action":"allow","features":{"has_custom_resolution":true}}],
           "value":["--width","${resolution_width}","--height","${resolution_height}"]}],
        "jvm":[
          {"rules":[{"action":"allow","os":{"name":"osx"}}],"value":["-XstartOnFirstThread"]},
          {"rules":[{"action":"allow","os":{"name":"windows"}}],
           "value":"-XX:HeapDumpPath=MojangTricksIntelDriversForPerformance_javaw.exe_minecraft.exe.heapdump"},
          {"rules":[{"action":"allow","os":{"name":"windows","version":"^10\\."}}],
           "value":["-Dos.name=Windows 10","-Dos.version=10.0"]},
          {"rules":[{"action":"allow","os":{"arch":"x86"}}],"value":"-Xss1M"},
          "-Djava.library.path=${natives_directory}",
          "-Dminecraft.launcher.brand=${launcher_name}",
          "-Dminecraft.launcher.version=${launcher_version}",
          "-cp","${classpath}"]},
      "libraries":[
        {"name":"org.ow2.asm:asm:9.3","downloads":{"artifact":{"url":"https://libraries.minecraft.net/asm.jar"}}},
        {"name":"org.lwjgl:lwjgl:3.3.1:natives-linux","downloads":{"artifact":{"url":"https://l/n.jar"}},
         "rules":[{"action":"allow","os":{"name":"linux"}}]},
        {"name":"org.lwjgl:lwjgl:3.3.1:natives-windows","downloads":{"artifact":{"url":"https://l/w.jar"}},
         "rules":[{"action":"allow","os":{"name":"windows"}}]}]})";
}

// A Forge 1.12.2 child: all vanilla options again plus a tweak class.
inline std::string Forge1122() {
    return R"({"id":"1.12.2-forge","inheritsFrom":"1.12.2","mainClass":"net.minecraft.launchwrapper.Launch",
      "minecraftArguments":"--username ${auth_player_name} --version ${version_name} --gameDir ${game_directory} --assetsDir ${assets_root} --assetIndex ${assets_index_name} --uuid ${auth_uuid} --accessToken ${auth_access_token} --userType ${user_type} --tweakClass net.minecraftforge.fml.common.launcher.FMLTweaker --versionType Forge",
      "libraries":[{"name":"net.minecraftforge:forge:1.12.2-14.23.5.2860","downloads":{"artifact":{"url":""}}}]})";
}

// A Forge 1.18-style child: its own arguments.jvm with the module path.
inline std::string Forge118(const std::string& parent = "1.19") {
    return R"({"id":"1.19-forge","inheritsFrom":")" + parent + R"(","mainClass":"cpw.mods.bootstraplauncher.BootstrapLauncher",
      "arguments":{
        "game":["--launchTarget","forgeclient","--fml.forgeVersion","41.1.0"],
        "jvm":["-DignoreList=bootstraplauncher,securejarhandler,${version_name}.jar",
          "-DlibraryDirectory=${library_directory}",
          "-p","${library_directory}/cpw/mods/bootstraplauncher/1.1.2/bootstraplauncher-1.1.2.jar${classpath_separator}${library_directory}/cpw/mods/securejarhandler/2.1.4/securejarhandler-2.1.4.jar",
          "--add-modules","ALL-MODULE-PATH"]},
      "libraries":[
        {"name":"cpw.mods:bootstraplauncher:1.1.2","downloads":{"artifact":{"url":"https://maven/b.jar"}}},
        {"name":"cpw.mods:securejarhandler:2.1.4","downloads":{"artifact":{"url":"https://maven/s.jar"}}}]})";
}

// Vanilla 1.7.2: the `legacy` asset index (`virtual`), whose assets the game
// reads from ${game_assets}, and a logging configuration.
inline std::string Vanilla172(const std::string& extra_arguments = "") {
    return R"({"id":"1.7.2","assets":"legacy","mainClass":"net.minecraft.client.main.Main",
      "minecraftArguments":"--username ${auth_player_name} --session ${auth_session} --version ${version_name} --gameDir ${game_directory} --assetsDir ${game_assets} --uuid ${auth_uuid} --accessToken ${auth_access_token} --userProperties ${user_properties} --userType ${user_type})" +
           extra_arguments + R"(",
      "assetIndex":{"id":"legacy","sha1":"c0fd82e8ce9fbc93119e40d96d5a4e62cfa3f729","size":109634,"totalSize":153475165,
        "url":"https://launchermeta.mojang.com/v1/packages/c0fd82e8ce9fbc93119e40d96d5a4e62cfa3f729/legacy.json"},
      "logging":{"client":{"argument":"-Dlog4j.configurationFile=${path}",
        "file":{"id":"client-1.7.xml","sha1":"50c9cc4af6d853d9fc137c84bcd153e2bd3a9a82","size":966,
          "url":"https://launcher.mojang.com/v1/objects/50c9cc4af6d853d9fc137c84bcd153e2bd3a9a82/client-1.7.xml"},
        "type":"log4j2-xml"}},
      "libraries":[]})";
}

// Vanilla 1.5.2: the `pre-1.6` asset index (`map_to_resources`).
inline std::string Vanilla152(const std::string& extra_arguments = "") {
    return R"({"id":"1.5.2","assets":"pre-1.6","mainClass":"net.minecraft.client.main.Main",
      "minecraftArguments":"${auth_player_name} ${auth_session} --gameDir ${game_directory} --assetsDir ${game_assets})" +
           extra_arguments + R"(",
      "assetIndex":{"id":"pre-1.6","sha1":"3d8e55480977e32acd9844e545177e69a52f594b","size":74091,"totalSize":49505710,
        "url":"https://launchermeta.mojang.com/v1/packages/3d8e55480977e32acd9844e545177e69a52f594b/pre-1.6.json"},
      "libraries":[]})";
}

// A Fabric child whose one JVM entry holds blanks.
inline std::string Fabric(const std::string& parent = "1.19") {
    return R"({"id":"fabric-1.19","inheritsFrom":")" + parent + R"(","mainClass":"net.fabricmc.loader.impl.launch.knot.KnotClient",
      "arguments":{"game":[],"jvm":["-DFabricMcEmu= net.minecraft.client.main.Main "]},
      "libraries":[{"name":"net.fabricmc:fabric-loader:0.14.9","url":"https://maven.fabricmc.net/"}]})";
}

}  // namespace manifests

}  // namespace kestrel::testing
