#include "runtimes/RuntimeManifest.h"

#include <gtest/gtest.h>

#include "runtimes/RuntimeIndex.h"

namespace kestrel::runtimes {
namespace {

const std::string kSha1A(40, 'a');
const std::string kSha1B(40, 'b');

std::string Download(const std::string& sha1, int size, const std::string& name) {
    return R"({"sha1": ")" + sha1 + R"(", "size": )" + std::to_string(size) + R"(, "url": "https://example.invalid/)" +
           name + R"("})";
}

TEST(RuntimeIndex, FindsTheCurrentReleaseOfAComponent) {
    const std::string text = R"({
      "linux": {
        "gamma-snapshot": [],
        "java-runtime-gamma": [
          {"availability": {"group": 1, "progress": 100},
           "manifest": {"sha1": "ABCDEF0123456789abcdef0123456789ABCDEF01", "size": 123,
                        "url": "https://piston-meta.mojang.com/v1/packages/x/manifest.json"},
           "version": {"name": "17.0.8", "released": "2023-07-18T00:00:00+00:00"}},
          {"manifest": {"sha1": ")" + kSha1B + R"(", "size": 1, "url": "https://old"}, "version": {"name": "17.0.1"}}],
        "../escape": [{"manifest": {"sha1": ")" + kSha1A + R"(", "url": "https://x"}}],
        "jre-legacy": [{"manifest": {"sha1": "not hex", "size": 1, "url": "https://x"}, "version": {"name": "8"}}],
        "no-url": [{"manifest": {"sha1": ")" + kSha1A + R"(", "url": "file:///etc/passwd"}}]
      },
      "windows-x64": {"jre-legacy": [{"manifest": {"sha1": ")" + kSha1A + R"(", "url": "https://w"}}]}
    })";
    const auto index = RuntimeIndex::Parse(text);
    ASSERT_TRUE(index.ok()) << index.error();
    EXPECT_EQ(index->Components("linux"),
              (std::vector<std::string>{"java-runtime-gamma", "jre-legacy", "no-url"}));
    EXPECT_TRUE(index->Components("mac-os").empty());

    const auto gamma = index->Find("linux", "java-runtime-gamma");
    ASSERT_TRUE(gamma.ok()) << gamma.error();
    EXPECT_EQ(gamma->version_name, "17.0.8");
    EXPECT_EQ(gamma->manifest.sha1, "abcdef0123456789abcdef0123456789abcdef01");
    EXPECT_EQ(gamma->manifest.size, 123u);
    EXPECT_EQ(gamma->manifest.url, "https://piston-meta.mojang.com/v1/packages/x/manifest.json");

    for (const std::string component : {"gamma-snapshot", "../escape", "jre-legacy", "no-url", "java-runtime-delta", ""}) {
        const auto found = index->Find("linux", component);
        EXPECT_FALSE(found.ok()) << component;
        EXPECT_FALSE(found.error().empty()) << component;
    }
    EXPECT_TRUE(index->Find("windows-x64", "jre-legacy").ok());
    EXPECT_FALSE(RuntimeIndex::Parse("[1, 2]").ok());
    EXPECT_FALSE(RuntimeIndex::Parse("<html>").ok());

    struct Host {
        platform::HostProfile profile;
        std::string arch;
        std::string bits;
        std::string platform;
    };
    const std::vector<Host> hosts = {
        {platform::HostProfile::Linux64(), "x86_64", "64", "linux"},
        {platform::HostProfile::Linux64(), "x86", "32", "linux-i386"},
        {platform::HostProfile::Linux64(), "x86_64", "32", "linux-i386"},
        {platform::HostProfile::Linux64(), "arm64", "64", "linux-arm64"},
        {platform::HostProfile::Windows64(), "x86_64", "64", "windows-x64"},
        {platform::HostProfile::Windows64(), "x86", "32", "windows-x86"},
        {platform::HostProfile::Windows64(), "arm64", "64", "windows-arm64"},
    };
    for (Host host : hosts) {
        host.profile.arch = host.arch;
        host.profile.bits = host.bits;
        EXPECT_EQ(RuntimePlatform(host.profile), host.platform) << host.arch << " " << host.bits;
    }
}

TEST(RuntimeManifest, ReadsFilesFoldersAndLinks) {
    const std::string text = R"({"files": {
      "bin": {"type": "directory"},
      "bin/java": {"type": "file", "executable": true, "downloads": {
          "lzma": )" + Download(kSha1A, 10, "java.lzma") + R"(, "raw": )" + Download(kSha1B, 30, "java") + R"(}},
      "lib/modules": {"type": "file", "executable": false, "downloads": {"raw": )" + Download(kSha1A, 5, "m") + R"(}},
      "legal/java.desktop/LICENSE": {"type": "link", "target": "../java.base/LICENSE"}}})";
    const auto manifest = RuntimeManifest::Parse(text);
    ASSERT_TRUE(manifest.ok()) << manifest.error();
    ASSERT_EQ(manifest->entries.size(), 4u);
    const RuntimeEntry& java = manifest->entries[1];
    EXPECT_EQ(java.path, "bin/java");
    EXPECT_EQ(java.kind, EntryKind::kFile);
    EXPECT_TRUE(java.executable);
    EXPECT_EQ(java.raw.sha1, kSha1B);
    EXPECT_EQ(java.raw.size, 30u);
    ASSERT_TRUE(java.lzma.has_value());
    EXPECT_EQ(java.lzma->url, "https://example.invalid/java.lzma");
    EXPECT_FALSE(manifest->entries[2].lzma.has_value());
    EXPECT_FALSE(manifest->entries[2].executable);
    EXPECT_EQ(manifest->entries[0].kind, EntryKind::kDirectory);
    EXPECT_EQ(manifest->entries[3].kind, EntryKind::kLink);
    EXPECT_EQ(manifest->entries[3].target, "../java.base/LICENSE");
}

TEST(RuntimeManifest, RefusesUnsafeEntries) {
    const std::string file = R"({"type": "file", "downloads": {"raw": )" + Download(kSha1A, 1, "f") + "}}";
    const auto link = [](const std::string& target) { return R"({"type": "link", "target": ")" + target + R"("})"; };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"absolute path", R"("/etc/cron.d/x": )" + file},
        {"climbing path", R"("lib/../../x": )" + file},
        {"dot part", R"("./x": )" + file},
        {"empty part", R"("lib//x": )" + file},
        {"backslash", R"("lib\\x": )" + file},
        {"line end", R"("lib\nx": )" + file},
        {"empty path", R"("": )" + file},
        {"link out of the runtime", R"("legal/x": )" + link("../../../outside")},
        {"absolute link", R"("bin/x": )" + link("/usr/bin/java")},
        {"empty link", R"("bin/x": )" + link("")},
        {"file below a link", R"("lib": )" + link("bin") + R"(, "lib/x": )" + file},
        {"file without raw download", R"("bin/java": {"type": "file", "downloads": {"lzma": )" +
                                          Download(kSha1A, 1, "l") + "}}"},
        {"raw download without SHA-1", R"("bin/java": {"type": "file", "downloads": {"raw": {"size": 1, "url": "https://x"}}})"},
        {"unknown type", R"("bin/java": {"type": "fifo"})"},
    };
    for (const auto& [name, members] : cases) {
        const auto manifest = RuntimeManifest::Parse("{\"files\": {" + members + "}}");
        EXPECT_FALSE(manifest.ok()) << name;
    }
    EXPECT_FALSE(RuntimeManifest::Parse(R"({"files": []})").ok());
    EXPECT_FALSE(RuntimeManifest::Parse("not json").ok());

    // Targets that stay inside are read from the link's folder.
    const std::vector<std::pair<std::pair<std::string, std::string>, std::string>> targets = {
        {{"legal/java.desktop/LICENSE", "../java.base/LICENSE"}, "legal/java.base/LICENSE"},
        {{"bin/java", "../lib/./java"}, "lib/java"},
        {{"top", "bin"}, "bin"},
        {{"a/b", ".."}, ""},
    };
    for (const auto& [link_and_target, below] : targets) {
        const auto found = LinkTargetBelowRoot(link_and_target.first, link_and_target.second);
        ASSERT_TRUE(found.has_value()) << link_and_target.second;
        EXPECT_EQ(*found, below);
    }
    EXPECT_FALSE(LinkTargetBelowRoot("top", "..").has_value());
}

}  // namespace
}  // namespace kestrel::runtimes
