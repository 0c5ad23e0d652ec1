#include "runtimes/RuntimeInstaller.h"

#include <lzma.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "download/FileServer.h"
#include "platform/ProgramOutput.h"
#include "platform/Sha1.h"
#include "support/FakeClock.h"
#include "support/TempFolder.h"

namespace kestrel::runtimes {
namespace {

namespace fs = std::filesystem;
using testing::FileServer;
using testing::TempFolder;

std::string Sha1(const std::string& bytes) { return platform::Sha1Hex(*platform::Sha1Of(bytes)); }

std::string Lzma(const std::string& bytes) {
    lzma_stream stream = LZMA_STREAM_INIT;
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    if (lzma_alone_encoder(&stream, &options) != LZMA_OK) return {};
    std::string out(bytes.size() + 65536, '\0');
    stream.next_in = reinterpret_cast<const std::uint8_t*>(bytes.data());
    stream.avail_in = bytes.size();
    stream.next_out = reinterpret_cast<std::uint8_t*>(out.data());
    stream.avail_out = out.size();
    const lzma_ret ended = lzma_code(&stream, LZMA_FINISH);
    out.resize(out.size() - stream.avail_out);
    lzma_end(&stream);
    return ended == LZMA_STREAM_END ? out : std::string();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string Repeated(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line + std::to_string(i) + "\n";
    return text;
}

// A runtime index and a component manifest on a local file server, built
// entry by entry.
class FakeRuntimeServer {
public:
    // A file served raw, and compressed too when lzma is set; raw_served
    // false leaves only the compressed download on the server.
    void File(const std::string& path, const std::string& bytes, bool executable, bool lzma, bool raw_served = true) {
        const std::string raw_url = "/raw/" + path;
        if (raw_served) server.Put(raw_url, bytes);
        std::string downloads = R"("raw": )" + Download(raw_url, bytes);
        if (lzma) {
            const std::string packed = Lzma(bytes);
            server.Put("/lzma/" + path, packed);
            downloads += R"(, "lzma": )" + Download("/lzma/" + path, packed);
        }
        Add(path, R"({"type": "file", "executable": )" + std::string(executable ? "true" : "false") +
                      R"(, "downloads": {)" + downloads + "}}");
    }
    void Folder(const std::string& path) { Add(path, R"({"type": "directory"})"); }
    void Link(const std::string& path, const std::string& target) {
        Add(path, R"({"type": "link", "target": ")" + target + R"("})");
    }
    // A compressed download whose bytes decode to something else than the
    // raw file, though they match their own SHA-1.
    void BadlyPackedFile(const std::string& path, const std::string& bytes) {
        server.Put("/raw/" + path, bytes);
        const std::string packed = Lzma(bytes + "tampered");
        server.Put("/lzma/" + path, packed);
        Add(path, R"({"type": "file", "executable": false, "downloads": {"raw": )" + Download("/raw/" + path, bytes) +
                      R"(, "lzma": )" + Download("/lzma/" + path, packed) + "}}");
    }

    // Publishes the manifest as component "java-runtime-test" on linux.
    void Publish(const std::string& version = "17.0.8-test") {
        const std::string manifest = R"({"files": {)" + members_ + "}}";
        server.Put("/manifest.json", manifest);
        server.Put("/all.json", R"({"gamecore": {}, "linux": {"java-runtime-test": [{"availability": {"group": 1},
            "manifest": )" + Download("/manifest.json", manifest) + R"(, "version": {"name": ")" + version +
                                    R"(", "released": "2023-08-01T00:00:00+00:00"}}]}})");
    }

    RuntimeInstallOptions Options(platform::Clock& clock) const {
        RuntimeInstallOptions options;
        options.index_url = server.Url("/all.json");
        options.download.parallelism = 4;
        options.download.first_pause_ms = 1;
        options.download.clock = &clock;
        return options;
    }

    FileServer server;

private:
    std::string Download(const std::string& url_path, const std::string& bytes) const {
        return R"({"sha1": ")" + Sha1(bytes) + R"(", "size": )" + std::to_string(bytes.size()) + R"(, "url": ")" +
               server.Url(url_path) + R"("})";
    }
    void Add(const std::string& path, const std::string& value) {
        if (!members_.empty()) members_ += ", ";
        members_ += "\"" + path + "\": " + value;
    }
    std::string members_;
};

const std::string kJava = "#!/bin/sh\necho \"stand-in java $*\"\n";
const std::string kModules = Repeated("module image ", 20000);
const std::string kLicense = "GPLv2 with the classpath exception\n";
const std::string kLzmaOnly = Repeated("only compressed ", 5000);
const std::string kCorruptOnce = Repeated("served wrong once ", 100);

class RuntimeInstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        runtime.Folder("bin");
        runtime.File("bin/java", kJava, true, true);
        runtime.File("lib/modules", kModules, false, true);
        runtime.File("lib/lzma-only", kLzmaOnly, false, true, false);
        runtime.File("lib/corrupt-once", kCorruptOnce, false, false);
        runtime.server.Script("/raw/lib/corrupt-once", {{FileServer::Fault::kWrongBytes}});
        runtime.File("legal/java.base/LICENSE", kLicense, false, false);
        runtime.Link("legal/java.desktop/LICENSE", "../java.base/LICENSE");
        runtime.Link("bin/java-link", "java");
        runtime.Folder("conf/empty");
    }

    std::string Root() const { return game.path() + "/runtime/java-runtime-test/linux/java-runtime-test"; }
    RuntimeInstaller Installer() { return RuntimeInstaller(game.path(), platform::HostProfile::Linux64(), runtime.Options(clock)); }

    FakeRuntimeServer runtime;
    TempFolder game;
    testing::FakeClock clock;
};

TEST_F(RuntimeInstallerTest, InstallsFilesLinksAndModesInTheOfficialLayout) {
    runtime.Publish();
    const auto installed = Installer().Install("java-runtime-test", {});
    ASSERT_TRUE(installed.ok()) << installed.error();
    EXPECT_EQ(installed->java, Root() + "/bin/java");
    EXPECT_EQ(installed->version, "17.0.8-test");

    EXPECT_EQ(ReadAll(Root() + "/bin/java"), kJava);
    EXPECT_TRUE(ReadAll(Root() + "/lib/modules") == kModules);
    EXPECT_TRUE(ReadAll(Root() + "/lib/lzma-only") == kLzmaOnly);
    EXPECT_TRUE(ReadAll(Root() + "/lib/corrupt-once") == kCorruptOnce);
    EXPECT_EQ(runtime.server.RequestsFor("/raw/lib/corrupt-once"), 2);
    // The smaller compressed download was taken, not the raw one.
    EXPECT_EQ(runtime.server.RequestsFor("/raw/lib/modules"), 0);
    EXPECT_EQ(runtime.server.RequestsFor("/lzma/lib/modules"), 1);
    EXPECT_EQ(fs::read_symlink(Root() + "/legal/java.desktop/LICENSE"), "../java.base/LICENSE");
    EXPECT_EQ(ReadAll(Root() + "/legal/java.desktop/LICENSE"), kLicense);
    EXPECT_TRUE(fs::is_directory(Root() + "/conf/empty"));
    EXPECT_EQ(ReadAll(game.path() + "/runtime/java-runtime-test/linux/.version"), "17.0.8-test");
    EXPECT_EQ(fs::status(Root() + "/bin/java").permissions() & fs::perms::all, fs::perms(0755));
    EXPECT_EQ(fs::status(Root() + "/lib/modules").permissions() & fs::perms::all, fs::perms(0644));
    // The executable runs; nothing of the install's own is left behind.
    const auto ran = platform::ProgramOutput(installed->java, {"-version"});
    ASSERT_TRUE(ran.ok()) << ran.error();
    EXPECT_EQ(*ran, "stand-in java -version\n");
    EXPECT_FALSE(fs::exists(game.path() + "/runtime/java-runtime-test/linux/.kestrel-download"));
    EXPECT_FALSE(fs::exists(game.path() + "/runtime/.kestrel-index"));

    const std::vector<InstalledRuntime> listed =
        InstalledRuntimes(game.path(), "linux", platform::HostProfile::Linux64());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].component, "java-runtime-test");
    EXPECT_EQ(listed[0].version, "17.0.8-test");
    EXPECT_EQ(listed[0].java, installed->java);
    const auto clean = Installer().Verify("java-runtime-test", {});
    ASSERT_TRUE(clean.ok()) << clean.error();
    EXPECT_TRUE(clean->empty());
}

TEST_F(RuntimeInstallerTest, VerifyFindsDamageAndASecondInstallRepairsOnlyThat) {
    runtime.Publish();
    ASSERT_TRUE(Installer().Install("java-runtime-test", {}).ok());
    const std::string relative = "runtime/java-runtime-test/linux/java-runtime-test/";
    std::ofstream(Root() + "/lib/modules", std::ios::binary | std::ios::trunc) << "damaged";
    fs::permissions(Root() + "/bin/java", fs::perms(0644));
    fs::remove(Root() + "/legal/java.desktop/LICENSE");
    fs::create_symlink("../../bin/java", Root() + "/legal/java.desktop/LICENSE");
    fs::remove(Root() + "/lib/lzma-only");
    fs::remove(game.path() + "/runtime/java-runtime-test/linux/.version");

    const auto problems = Installer().Verify("java-runtime-test", {});
    ASSERT_TRUE(problems.ok()) << problems.error();
    using Kind = RuntimeProblem::Kind;
    const std::vector<RuntimeProblem> expected = {
        {Kind::kCorrupt, relative + "bin/java"},
        {Kind::kCorrupt, relative + "lib/modules"},
        {Kind::kMissing, relative + "lib/lzma-only"},
        {Kind::kCorrupt, relative + "legal/java.desktop/LICENSE"},
        {Kind::kMissing, "runtime/java-runtime-test/linux/.version"},
    };
    EXPECT_EQ(*problems, expected);

    const int java_fetches = runtime.server.RequestsFor("/lzma/bin/java");
    const auto repaired = Installer().Install("java-runtime-test", {});
    ASSERT_TRUE(repaired.ok()) << repaired.error();
    EXPECT_EQ(runtime.server.RequestsFor("/lzma/bin/java"), java_fetches);  // right bytes, only its mode was wrong
    EXPECT_EQ(runtime.server.RequestsFor("/lzma/lib/modules"), 2);
    EXPECT_EQ(runtime.server.RequestsFor("/lzma/lib/lzma-only"), 2);
    EXPECT_EQ(runtime.server.RequestsFor("/raw/lib/corrupt-once"), 2);
    const auto after = Installer().Verify("java-runtime-test", {});
    ASSERT_TRUE(after.ok()) << after.error();
    EXPECT_TRUE(after->empty());
}

TEST_F(RuntimeInstallerTest, ACompressedFileThatDecodesWrongIsFetchedRaw) {
    runtime.BadlyPackedFile("lib/packed-wrong", Repeated("the raw bytes ", 3000));
    runtime.Publish();
    const auto installed = Installer().Install("java-runtime-test", {});
    ASSERT_TRUE(installed.ok()) << installed.error();
    EXPECT_TRUE(ReadAll(Root() + "/lib/packed-wrong") == Repeated("the raw bytes ", 3000));
    EXPECT_EQ(runtime.server.RequestsFor("/lzma/lib/packed-wrong"), 1);
    EXPECT_EQ(runtime.server.RequestsFor("/raw/lib/packed-wrong"), 1);
}

// Links that lead out of the runtime are refused: one whose target climbs
// out on its face, and one that only does so once the links before it exist
// on the disk ("up" is the runtime's root, so "up/.." is above it).
TEST_F(RuntimeInstallerTest, LinksOutOfTheRuntimeAreRefused) {
    struct Case {
        std::string name;
        std::string link;
        std::string target;
    };
    const std::vector<Case> cases = {
        {"climbs", "legal/outside", "../../../../../../outside"},
        {"through a link", "escape", "legal/up/../../outside"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        FakeRuntimeServer server;
        server.File("bin/java", kJava, true, false);
        server.Link("legal/up", "..");
        server.Link(c.link, c.target);
        server.Publish();
        const RuntimeInstaller installer(folder.path() + "/game", platform::HostProfile::Linux64(), server.Options(clock));
        const auto installed = installer.Install("java-runtime-test", {});
        ASSERT_FALSE(installed.ok()) << c.name;
        EXPECT_NE(installed.error().find(c.link), std::string::npos) << installed.error();
        const std::string root = folder.path() + "/game/runtime/java-runtime-test/linux/java-runtime-test";
        EXPECT_FALSE(fs::exists(fs::symlink_status(root + "/" + c.link))) << c.name;
        EXPECT_FALSE(fs::exists(folder.path() + "/game/runtime/java-runtime-test/linux/.version")) << c.name;
    }
}

TEST_F(RuntimeInstallerTest, FailuresNameTheirCause) {
    runtime.Publish();
    struct Case {
        std::string name;
        std::string component;
        std::string index_url;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"not in the index", "java-runtime-delta", runtime.server.Url("/all.json"), "java-runtime-delta"},
        {"a name that is a path", "../../etc", runtime.server.Url("/all.json"), "../../etc"},
        {"no index", "java-runtime-test", runtime.server.Url("/missing.json"), "Java 运行时索引"},
    };
    for (const Case& c : cases) {
        RuntimeInstallOptions options = runtime.Options(clock);
        options.index_url = c.index_url;
        const RuntimeInstaller installer(game.path(), platform::HostProfile::Linux64(), options);
        const auto installed = installer.Install(c.component, {});
        ASSERT_FALSE(installed.ok()) << c.name;
        EXPECT_NE(installed.error().find(c.says), std::string::npos) << installed.error();
    }
    EXPECT_FALSE(fs::exists(game.path() + "/etc"));
    // A file the server never serves right fails the install; no .version.
    runtime.server.Put("/raw/lib/corrupt-once", "different bytes");
    const auto installed = Installer().Install("java-runtime-test", {});
    ASSERT_FALSE(installed.ok());
    EXPECT_FALSE(fs::exists(game.path() + "/runtime/java-runtime-test/linux/.version"));
    EXPECT_FALSE(fs::exists(Root() + "/lib/corrupt-once"));
}

}  // namespace
}  // namespace kestrel::runtimes
