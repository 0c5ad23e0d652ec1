#pragma once

// Small Forge and NeoForge installers for the tests, in the shapes of the
// real ones (Forge 1.20.1 and NeoForge 21.1: install_profile.json with spec,
// data, processors and libraries plus version.json; Forge 1.12.2's early
// builds: install and versionInfo plus the universal jar), served with their
// libraries from a Maven folder of a FileServer. Their install steps are the
// step tool built by the tests' CMake (processor/…/Step.java), which copies,
// upper-cases and appends files, with a library of its own on its classpath.
//
// The new-style client steps are:
//   1. DOWNLOAD_MOJMAPS (never run: the mappings come through the engine);
//   2. --input {MINECRAFT_JAR} --output {MC_SLIM}          outputs {MC_SLIM}
//   3. --input {MC_SLIM} --upper --append {BINPATCH} --append {MOJMAPS}
//      --append [<loader universal jar>] --output {PATCHED} outputs {PATCHED}
// and one step for the server only, which must not run either.

#include <map>
#include <string>
#include <vector>

#include "download/DownloadFixture.h"
#include "download/FileServer.h"
#include "install/SyntheticVersion.h"
#include "support/ZipWriter.h"

namespace kestrel::install {

inline std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// A game version already in the game folder, as the core's install leaves
// it: its JSON names Java 17 and its mappings.
struct InstalledGame {
    std::string id = "1.20.1";
    std::string client = "minecraft client " + id + " bytes";
    std::string mappings = "net.minecraft.client.Main -> a:\n";

    std::string Json() const {
        return R"({"id":")" + id + R"(","type":"release","mainClass":"net.minecraft.client.main.Main",)" +
               R"("javaVersion":{"component":"java-runtime-gamma","majorVersion":17},"downloads":{)" +
               R"("client":{"sha1":")" + HexSha1(client) + R"(","size":)" + std::to_string(client.size()) +
               R"(,"url":"https://piston-data.mojang.com/v1/objects/client.jar"},)" +
               R"("client_mappings":{"sha1":")" + HexSha1(mappings) + R"(","size":)" +
               std::to_string(mappings.size()) + R"(,"url":"https://piston-data.mojang.com/v1/objects/mappings.txt"}},)" +
               R"("libraries":[]})";
    }
    void Write(const testing::TempFolder& temp, const std::string& game_relative) const {
        temp.Write(game_relative + "/versions/" + id + "/" + id + ".json", Json());
        temp.Write(game_relative + "/versions/" + id + "/" + id + ".jar", client);
    }
    void Serve(testing::FileServer& server) const { server.Put("/data/v1/objects/mappings.txt", mappings); }
};

inline std::string LibraryEntry(const std::string& name, const std::string& path, const std::string& url,
                                const std::string& bytes) {
    return R"({"name":")" + name + R"(","downloads":{"artifact":{"path":")" + path + R"(","url":")" + url +
           R"(","sha1":")" + HexSha1(bytes) + R"(","size":)" + std::to_string(bytes.size()) + "}}}";
}

// A new-style installer (Forge 1.13 and later, NeoForge).
struct NewStyleInstaller {
    // Forge 1.20.1 unless a test makes it NeoForge 21.1 (UseNeoForge).
    std::string repository = "https://maven.minecraftforge.net";
    std::string group = "net.minecraftforge";
    std::string artifact = "forge";
    std::string game = "1.20.1";
    std::string version = "1.20.1-47.1.0";
    std::string id = "1.20.1-forge-47.1.0";
    std::string tools = "net.minecraftforge:installertools:1.3.0";
    std::string patched = "net.minecraftforge:forge:1.20.1-47.1.0:client";

    std::string client;  // the game's client jar, which the steps read
    std::string mappings;
    std::string binpatch = "binary patches";
    std::string universal = "the loader's universal jar";
    std::string loader_library = "fmlloader bytes";
    std::string installertools = "installertools bytes";
    std::string step_tool = download::ReadAll(KESTREL_STEP_TOOL_JAR);
    std::string step_helper = download::ReadAll(KESTREL_STEP_HELPER_JAR);
    // What a test changes: a wrong SHA-1, more data, other step arguments,
    // more installer entries.
    std::string patched_sha1;  // the right one unless set
    std::vector<std::string> slim_args;      // replaces step 2's arguments when set
    std::string extra_data;                  // more members of data, with a leading comma
    std::string extra_outputs;               // more members of step 3's outputs, with a leading comma
    std::vector<std::pair<std::string, std::string>> extra_entries;

    explicit NewStyleInstaller(const InstalledGame& installed) : client(installed.client), mappings(installed.mappings) {}

    void UseNeoForge() {
        repository = "https://maven.neoforged.net/releases";
        group = "net.neoforged";
        artifact = "neoforge";
        game = "1.21.1";
        version = "21.1.77";
        id = "neoforge-21.1.77";
        tools = "net.neoforged.installertools:installertools:2.1.2";
        patched = "net.neoforged:minecraft-client-patched:21.1.77";
    }

    std::string GroupPath() const { return ReplaceDots(group); }
    static std::string ReplaceDots(std::string text) {
        for (char& c : text) {
            if (c == '.') c = '/';
        }
        return text;
    }
    std::string UniversalPath() const {
        return GroupPath() + "/" + artifact + "/" + version + "/" + artifact + "-" + version + "-universal.jar";
    }
    std::string InstallerPath() const {
        return "/" + GroupPath() + "/" + artifact + "/" + version + "/" + artifact + "-" + version + "-installer.jar";
    }
    // Where the repository's files are on the server.
    std::string Folder() const { return artifact == "forge" ? "/forge" : "/neo"; }

    std::string Slim() const { return client; }
    std::string Patched() const { return Upper(client) + binpatch + mappings + universal; }

    std::string ToolsPath() const {
        const auto colon = tools.find(':');
        const auto second = tools.find(':', colon + 1);
        const std::string name = tools.substr(colon + 1, second - colon - 1);
        const std::string ver = tools.substr(second + 1);
        return ReplaceDots(tools.substr(0, colon)) + "/" + name + "/" + ver + "/" + name + "-" + ver + ".jar";
    }

    std::string Profile() const {
        const std::string slim = "[net.minecraft:client:" + game + "-20230612.114412:slim]";
        std::string slim_step;
        for (const std::string& arg : slim_args.empty() ? std::vector<std::string>{"--input", "{MINECRAFT_JAR}", "--output", "{MC_SLIM}"}
                                                         : slim_args) {
            slim_step += (slim_step.empty() ? "" : ",") + Quote(arg);
        }
        const std::string step = R"("jar":"kestrel.test:step-tool:1.0","classpath":["kestrel.test:step-helper:1.0"])";
        return std::string(R"({"_comment":["Please do not automate the download and installation of Forge."],)") +
               R"("spec":1,"profile":")" + (artifact == "forge" ? "forge" : "NeoForge") + R"(","version":")" + id +
               R"(","icon":"data:image/png;base64,","json":"/version.json","path":null,"logo":"/big_logo.png",)" +
               R"("minecraft":")" + game + R"(","welcome":"Welcome","mirrorList":"","hideExtract":true,)" +
               R"("serverJarPath":"{LIBRARY_DIR}/net/minecraft/server/{MINECRAFT_VERSION}/server-{MINECRAFT_VERSION}.jar",)" +
               R"("data":{"MOJMAPS":{"client":"[net.minecraft:client:)" + game +
               R"(:mappings@txt]","server":"[net.minecraft:server:)" + game + R"(:mappings@txt]"},)" +
               R"("BINPATCH":{"client":"/data/client.lzma","server":"/data/server.lzma"},)" +
               R"("MC_SLIM":{"client":")" + slim + R"(","server":"[net.minecraft:server:)" + game + R"(:slim]"},)" +
               R"("MC_SLIM_SHA":{"client":"')" + HexSha1(Slim()) + R"('","server":"''"},)" +
               R"("PATCHED":{"client":"[)" + patched + R"(]","server":"[)" + patched + R"(-server]"},)" +
               R"("PATCHED_SHA":{"client":"')" + (patched_sha1.empty() ? HexSha1(Patched()) : patched_sha1) +
               R"('","server":"''"},"MCP_VERSION":{"client":"'20230612.114412'","server":"'20230612.114412'"})" +
               extra_data + "}," +
               R"("processors":[{"sides":["server"],"jar":")" + tools +
               R"(","classpath":[],"args":["--task","EXTRACT_FILES","--archive","{INSTALLER}"]},)" +
               R"({"jar":")" + tools + R"(","classpath":[],"args":["--task","DOWNLOAD_MOJMAPS","--version","{MINECRAFT_VERSION}","--side","{SIDE}","--output","{MOJMAPS}"]},)" +
               "{" + step + R"(,"args":[)" + slim_step + R"(],"outputs":{"{MC_SLIM}":"{MC_SLIM_SHA}"}},)" +
               R"({"sides":["client","server"],)" + step +
               R"(,"args":["--input","{MC_SLIM}","--upper","--append","{BINPATCH}","--append","{MOJMAPS}","--append","[)" +
               group + ":" + artifact + ":" + version + R"(:universal]","--output","{PATCHED}"],"outputs":{"{PATCHED}":"{PATCHED_SHA}")" +
               extra_outputs + "}}]," +
               R"("libraries":[)" + LibraryEntry(tools, ToolsPath(), repository + "/" + ToolsPath(), installertools) + "," +
               LibraryEntry("kestrel.test:step-tool:1.0", "kestrel/test/step-tool/1.0/step-tool-1.0.jar",
                            repository + "/kestrel/test/step-tool/1.0/step-tool-1.0.jar", step_tool) +
               "," +
               LibraryEntry("kestrel.test:step-helper:1.0", "kestrel/test/step-helper/1.0/step-helper-1.0.jar",
                            repository + "/kestrel/test/step-helper/1.0/step-helper-1.0.jar", step_helper) +
               "]}";
    }

    std::string LoaderLibraryPath() const {
        return GroupPath() + "/fmlloader/" + version + "/fmlloader-" + version + ".jar";
    }

    std::string VersionJson() const {
        return R"({"id":")" + id + R"(","time":"2023-06-12T11:44:12+00:00","releaseTime":"2023-06-12T11:44:12+00:00",)" +
               R"("inheritsFrom":")" + game + R"(","type":"release","logging":{},)" +
               R"("mainClass":"cpw.mods.bootstraplauncher.BootstrapLauncher","arguments":{"game":["--launchTarget","forgeclient"],)" +
               R"("jvm":["-DlibraryDirectory=${library_directory}"]},"libraries":[)" +
               LibraryEntry(group + ":fmlloader:" + version, LoaderLibraryPath(), repository + "/" + LoaderLibraryPath(),
                            loader_library) +
               "," +
               R"({"name":")" + group + ":" + artifact + ":" + version + R"(:universal","downloads":{"artifact":{"path":")" +
               UniversalPath() + R"(","url":"","sha1":")" + HexSha1(universal) + R"(","size":)" +
               std::to_string(universal.size()) + "}}}]}";
    }

    // The installer jar's bytes, written through a scratch file.
    std::string Jar(const testing::TempFolder& scratch) const {
        std::vector<std::pair<std::string, std::string>> entries = {
            {"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\nMain-Class: net.minecraftforge.installer.SimpleInstaller\r\n"},
            {"install_profile.json", Profile()},
            {"version.json", VersionJson()},
            {"big_logo.png", "png"},
            {"data/client.lzma", binpatch},
            {"data/server.lzma", "server patches"},
            {"maven/" + UniversalPath(), universal},
        };
        entries.insert(entries.end(), extra_entries.begin(), extra_entries.end());
        const std::string path = scratch.path() + "/installer-" + std::to_string(counter_++) + ".jar";
        if (!testing::WriteZip(path, entries)) return {};
        return download::ReadAll(path);
    }

    void Serve(testing::FileServer& server, const testing::TempFolder& scratch) const {
        const std::string jar = Jar(scratch);
        server.Put(Folder() + InstallerPath(), jar);
        server.Put(Folder() + InstallerPath() + ".sha1", HexSha1(jar));
        server.Put(Folder() + "/" + ToolsPath(), installertools);
        server.Put(Folder() + "/kestrel/test/step-tool/1.0/step-tool-1.0.jar", step_tool);
        server.Put(Folder() + "/kestrel/test/step-helper/1.0/step-helper-1.0.jar", step_helper);
        server.Put(Folder() + "/" + LoaderLibraryPath(), loader_library);
    }

    mutable int counter_ = 0;
};

// An old-style installer (Forge for 1.12.2 and earlier, before 14.23.5.2851).
struct OldStyleInstaller {
    std::string game = "1.12.2";
    std::string version = "1.12.2-14.23.0.2486";
    std::string id = "1.12.2-forge1.12.2-14.23.0.2486";
    std::string universal = "forge universal 1.12.2";
    std::string launchwrapper = "launchwrapper 1.12";
    std::string asm_all = "asm-all 5.2";
    std::string asm_sha1;  // the right one unless set

    std::string VersionInfo() const {
        return R"({"id":")" + id + R"(","time":"2017-09-21T03:46:41+0000","releaseTime":"1960-01-01T00:00:00-0700","type":"release",)" +
               R"("minecraftArguments":"--username ${auth_player_name} --tweakClass net.minecraftforge.fml.common.launcher.FMLTweaker",)" +
               R"("mainClass":"net.minecraft.launchwrapper.Launch","inheritsFrom":")" + game + R"(","jar":")" + game +
               R"(","logging":{},"libraries":[)" +
               R"({"name":"net.minecraftforge:forge:)" + version + R"(","url":"http://files.minecraftforge.net/maven/"},)" +
               R"({"name":"net.minecraft:launchwrapper:1.12","serverreq":true},)" +
               R"({"name":"org.ow2.asm:asm-all:5.2","url":"http://files.minecraftforge.net/maven/","checksums":[")" +
               std::string(40, 'a') + R"(",")" + (asm_sha1.empty() ? HexSha1(asm_all) : asm_sha1) +
               R"("],"serverreq":true,"clientreq":true},)" +
               R"({"name":"jline:jline:2.13","url":"http://files.minecraftforge.net/maven/","checksums":[")" +
               std::string(40, 'b') + R"("],"serverreq":true,"clientreq":false}]})";
    }

    std::string Profile() const {
        return R"({"install":{"profileName":"forge","target":")" + id + R"(","path":"net.minecraftforge:forge:)" +
               version + R"(","version":"forge )" + version + R"(","filePath":"forge-)" + version +
               R"(-universal.jar","welcome":"Welcome to the simple Forge installer.","minecraft":")" + game +
               R"(","mirrorList":"http://files.minecraftforge.net/mirror-brand.list","logo":"/big_logo.png","modList":"none"},)" +
               R"("versionInfo":)" + VersionInfo() + R"(,"optionals":[]})";
    }

    std::string InstallerPath() const {
        return "/net/minecraftforge/forge/" + version + "/forge-" + version + "-installer.jar";
    }

    void Serve(testing::FileServer& server, const testing::TempFolder& scratch) const {
        const std::string path = scratch.path() + "/old-installer.jar";
        testing::WriteZip(path, {{"install_profile.json", Profile()},
                                 {"forge-" + version + "-universal.jar", universal},
                                 {"big_logo.png", "png"}});
        const std::string jar = download::ReadAll(path);
        server.Put("/forge" + InstallerPath(), jar);
        server.Put("/forge" + InstallerPath() + ".sha1", HexSha1(jar) + "  forge-installer.jar\n");
        server.Put("/libraries/net/minecraft/launchwrapper/1.12/launchwrapper-1.12.jar", launchwrapper);
        server.Put("/files/maven/org/ow2/asm/asm-all/5.2/asm-all-5.2.jar", asm_all);
        server.Put("/files/maven/org/ow2/asm/asm-all/5.2/asm-all-5.2.jar.sha1", HexSha1(asm_all));
    }
};

}  // namespace kestrel::install
