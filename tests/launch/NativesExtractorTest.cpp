#include "launch/NativesExtractor.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "launch/GameFolder.h"
#include "platform/Files.h"
#include "support/ZipWriter.h"

namespace kestrel::launch {
namespace {

using testing::GameFolder;
namespace fs = std::filesystem;

class NativesExtractorTest : public ::testing::Test {
protected:
    NativesExtractor Natives(const platform::HostProfile& profile) const {
        return NativesExtractor(VersionManifests(game_.path(), profile));
    }
    std::string Zip(const std::string& relative, const std::vector<std::pair<std::string, std::string>>& entries) {
        const std::string path = game_.File(relative);
        EXPECT_TRUE(testing::WriteZip(path, entries));
        return path;
    }
    static std::string Read(const std::string& path) { return platform::ReadFile(path).value_or("<missing>"); }

    GameFolder game_;
};

TEST_F(NativesExtractorTest, ArchivesFollowTheHostsKeysRulesAndBitness) {
    game_.Manifest("1.12.2", testing::manifests::Vanilla1122());
    game_.Manifest("1.19", testing::manifests::Vanilla119());
    game_.Manifest("child", R"({"id":"child","inheritsFrom":"1.12.2","libraries":[
        {"name":"a:only-osx:1","natives":{"osx":"natives-osx"}},
        {"name":"a:bad","natives":{"linux":"natives-linux"}},
        {"name":"a:climb:1","natives":{"linux":"../../../x"}},
        {"name":"a:mine:1","natives":{"linux":"natives-linux-${arch}","windows":"natives-windows-${arch}"}}]})");
    const std::string g = game_.path();
    const auto windows = platform::HostProfile::Windows64();
    EXPECT_EQ(Natives(windows).Archives("1.19"),
              std::vector<std::string>{g + "\\libraries\\org\\lwjgl\\lwjgl\\3.3.1\\lwjgl-3.3.1-natives-windows.jar"});
    EXPECT_EQ(Natives(windows).Archives("1.12.2"),
              std::vector<std::string>{g + "\\libraries\\org\\lwjgl\\lwjgl\\lwjgl-platform\\2.9.4-nightly-20150209\\"
                                           "lwjgl-platform-2.9.4-nightly-20150209-natives-windows-64.jar"});
    // The bitness is the system's, not Java's: a 32-bit profile picks -32.
    platform::HostProfile linux32 = platform::HostProfile::Linux64();
    linux32.bits = "32";
    EXPECT_EQ(Natives(linux32).Archives("child"),
              (std::vector<std::string>{
                  g + "/libraries/a/mine/1/mine-1-natives-linux-32.jar",
                  g + "/libraries/org/lwjgl/lwjgl/lwjgl-platform/2.9.4-nightly-20150209/"
                      "lwjgl-platform-2.9.4-nightly-20150209-natives-linux.jar"}));
}

TEST_F(NativesExtractorTest, UnpacksTheChainLaterArchivesWinningAndKeepsOldFiles) {
    game_.Manifest("base", R"({"id":"base","libraries":[
        {"name":"n:one:1","natives":{"linux":"natives-linux"}},
        {"name":"n:two:1","natives":{"linux":"natives-linux"}}]})");
    game_.Manifest("child", R"({"id":"child","inheritsFrom":"base","libraries":[
        {"name":"n:two:1","natives":{"linux":"natives-linux"}},
        {"name":"n:gone:1","natives":{"linux":"natives-linux"}}]})");
    Zip("libraries/n/one/1/one-1-natives-linux.jar",
        {{"META-INF/", ""}, {"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"}, {"liba.so", "one"},
         {"shared.so", "from one"}, {"empty/", ""}});
    Zip("libraries/n/two/1/two-1-natives-linux.jar", {{"shared.so", "from two"}, {"sub/libb.so", "two"}});
    const auto linux = platform::HostProfile::Linux64();
    const NativesExtractor natives = Natives(linux);
    // "two" is named by the child and by the parent; its last place (the
    // parent's) comes after "one".
    const std::string libraries = game_.path() + "/libraries/n/";
    EXPECT_EQ(natives.Archives("child"),
              (std::vector<std::string>{libraries + "gone/1/gone-1-natives-linux.jar",
                                        libraries + "one/1/one-1-natives-linux.jar",
                                        libraries + "two/1/two-1-natives-linux.jar"}));
    const std::string folder = game_.path() + "/versions/child/child-natives";
    EXPECT_EQ(natives.NativesFolder("child"), folder);
    game_.File("versions/child/child-natives/old.so", "old");
    natives.Unpack("child");
    EXPECT_EQ(Read(folder + "/META-INF/MANIFEST.MF"), "Manifest-Version: 1.0\n");
    EXPECT_EQ(Read(folder + "/liba.so"), "one");
    EXPECT_EQ(Read(folder + "/shared.so"), "from two");
    EXPECT_EQ(Read(folder + "/sub/libb.so"), "two");
    EXPECT_EQ(Read(folder + "/old.so"), "old");
    EXPECT_TRUE(fs::is_directory(folder + "/empty"));
    // The missing archive "gone" changed nothing and left no trace.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::recursive_directory_iterator(folder)) ++entries;
    EXPECT_EQ(entries, 8);  // META-INF, its manifest, liba, shared, sub, libb, empty, old
}

TEST_F(NativesExtractorTest, HostileEntriesNeverLeaveTheNativesFolder) {
    const std::string archive = Zip("evil.jar", {
        {"../escaped.so", "x"},
        {"sub/../../escaped2.so", "x"},
        {"..\\escaped3.so", "x"},
        {"/tmp/absolute.so", "x"},
        {"\\absolute2.so", "x"},
        {"C:\\Windows\\drive.so", "x"},
        {"C:drive2.so", "x"},
        {"file.so:stream", "x"},
        {"./fine/./ok.so", "ok"},
        {"win\\style\\ok2.so", "ok2"},
    });
    const std::string target = game_.root() + "/deep/natives";
    fs::create_directories(target);
    const UnpackReport report = Natives(platform::HostProfile::Linux64()).UnpackArchive(archive, target);
    EXPECT_TRUE(report.opened);
    EXPECT_EQ(report.files, 2);
    EXPECT_EQ(report.skipped, 8);
    EXPECT_EQ(Read(target + "/fine/ok.so"), "ok");
    EXPECT_EQ(Read(target + "/win/style/ok2.so"), "ok2");
    for (const char* outside : {"/deep/escaped.so", "/deep/escaped2.so", "/escaped3.so", "/deep/escaped3.so"}) {
        EXPECT_FALSE(fs::exists(game_.root() + outside)) << outside;
    }
    EXPECT_FALSE(fs::exists("/tmp/absolute.so"));
    int written = 0;
    for (const auto& entry : fs::recursive_directory_iterator(game_.root())) {
        if (entry.is_regular_file() && entry.path().extension() != ".jar") ++written;
    }
    EXPECT_EQ(written, 2);
}

TEST_F(NativesExtractorTest, ArchivesThatAreMissingOrNoZipAreSkippedQuietly) {
    const std::string target = game_.root() + "/natives";
    fs::create_directories(target);
    static constexpr char kGarbage[] = "PK\3\4 not really a zip \0\xff";
    const std::string garbage = game_.File("garbage.jar", std::string(kGarbage, sizeof kGarbage - 1));
    const NativesExtractor natives = Natives(platform::HostProfile::Linux64());
    EXPECT_FALSE(natives.UnpackArchive(garbage, target).opened);
    EXPECT_FALSE(natives.UnpackArchive(game_.root() + "/missing.jar", target).opened);
    // A FIFO in an archive's place is refused without waiting for a writer.
    const std::string fifo = game_.root() + "/fifo.jar";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(natives.UnpackArchive(fifo, target).opened);
    EXPECT_TRUE(fs::is_empty(target));
    // A version without manifest gets its natives folder and nothing else.
    natives.Unpack("nothing");
    EXPECT_TRUE(fs::is_directory(game_.path() + "/versions/nothing/nothing-natives"));
}

// A link already in the natives folder (dirlink -> outside) must not carry
// an archive's files out of it.
TEST_F(NativesExtractorTest, LinksInTheNativesFolderAreNotFollowed) {
    game_.Manifest("v", R"({"id":"v","libraries":[{"name":"n:one:1","natives":{"linux":"natives-linux"}}]})");
    Zip("libraries/n/one/1/one-1-natives-linux.jar", {{"dirlink/x.so", "x"}, {"liba.so", "a"}});
    const std::string outside = game_.path() + "/outside";
    game_.File("outside/liba.so", "theirs");
    const std::string folder = game_.path() + "/versions/v/v-natives";
    fs::create_directories(folder);
    fs::create_directory_symlink(outside, folder + "/dirlink");
    fs::create_symlink(outside + "/liba.so", folder + "/liba.so");
    Natives(platform::HostProfile::Linux64()).Unpack("v");
    EXPECT_FALSE(fs::exists(outside + "/x.so"));
    EXPECT_EQ(Read(outside + "/liba.so"), "theirs");
    EXPECT_EQ(Read(folder + "/dirlink/x.so"), "x");
    EXPECT_EQ(Read(folder + "/liba.so"), "a");
}

// The archives of one launch share one budget: each stays below the archive
// limit, together they may not pass the launch's.
TEST_F(NativesExtractorTest, OneLaunchUnpacksNoMoreThanItsBudget) {
    game_.Manifest("v", R"({"id":"v","libraries":[
        {"name":"n:one:1","natives":{"linux":"natives-linux"}},
        {"name":"n:two:1","natives":{"linux":"natives-linux"}},
        {"name":"n:three:1","natives":{"linux":"natives-linux"}}]})");
    for (const char* name : {"one", "two", "three"}) {
        Zip(std::string("libraries/n/") + name + "/1/" + name + "-1-natives-linux.jar",
            {{std::string(name) + ".so", std::string(400, 'x')}});
    }
    NativesLimits limits;
    limits.zip = {/*max_entry_bytes=*/500, /*max_archive_bytes=*/500};
    limits.max_launch_bytes = 1000;
    NativesExtractor(VersionManifests(game_.path(), platform::HostProfile::Linux64()), limits).Unpack("v");
    const std::string folder = game_.path() + "/versions/v/v-natives";
    EXPECT_TRUE(fs::exists(folder + "/one.so"));
    EXPECT_TRUE(fs::exists(folder + "/two.so"));
    EXPECT_FALSE(fs::exists(folder + "/three.so"));
}

}  // namespace
}  // namespace kestrel::launch
