#include "net/UrlRewriter.h"

#include <gtest/gtest.h>

namespace kestrel::net {
namespace {

TEST(UrlRewriter, TheMirrorTableSendsOfficialHostsToBmclapi) {
    const UrlRewriter official(Mirror::kOfficial, {});
    const UrlRewriter bmclapi(Mirror::kBmclapi, {});
    const std::pair<std::string, std::string> cases[] = {
        {"https://piston-meta.mojang.com/mc/game/version_manifest_v2.json",
         "https://bmclapi2.bangbang93.com/mc/game/version_manifest_v2.json"},
        {"https://launchermeta.mojang.com/v1/packages/x/1.7.10.json",
         "https://bmclapi2.bangbang93.com/v1/packages/x/1.7.10.json"},
        {"https://launcher.mojang.com/v1/objects/abc/client.jar", "https://bmclapi2.bangbang93.com/v1/objects/abc/client.jar"},
        {"https://piston-data.mojang.com/v1/objects/abc/client.jar",
         "https://bmclapi2.bangbang93.com/v1/objects/abc/client.jar"},
        {"https://libraries.minecraft.net/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1.jar",
         "https://bmclapi2.bangbang93.com/maven/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1.jar"},
        {"https://maven.minecraftforge.net/net/minecraftforge/forge/x.jar",
         "https://bmclapi2.bangbang93.com/maven/net/minecraftforge/forge/x.jar"},
        {"https://files.minecraftforge.net/maven/net/minecraftforge/forge/x.jar",
         "https://bmclapi2.bangbang93.com/maven/net/minecraftforge/forge/x.jar"},
        {"https://maven.fabricmc.net/net/fabricmc/intermediary/1.20.1/i.jar",
         "https://bmclapi2.bangbang93.com/maven/net/fabricmc/intermediary/1.20.1/i.jar"},
        {"https://maven.neoforged.net/releases/net/neoforged/neoforge/21.1.1/n.jar",
         "https://bmclapi2.bangbang93.com/maven/net/neoforged/neoforge/21.1.1/n.jar"},
        {"https://resources.download.minecraft.net/ab/abcdef", "https://bmclapi2.bangbang93.com/assets/ab/abcdef"},
        {"https://meta.fabricmc.net/v2/versions/loader/1.20.1", "https://bmclapi2.bangbang93.com/fabric-meta/v2/versions/loader/1.20.1"},
        // The origin must be followed by "/" or the end.
        {"https://meta.fabricmc.net", "https://bmclapi2.bangbang93.com/fabric-meta"},
        {"https://libraries.minecraft.net.example.com/x.jar", "https://libraries.minecraft.net.example.com/x.jar"},
        {"https://files.minecraftforge.net/mavenx/a.jar", "https://files.minecraftforge.net/mavenx/a.jar"},
        // Other hosts, other schemes and the Quilt service are not mirrored.
        {"https://meta.quiltmc.org/v3/versions/loader", "https://meta.quiltmc.org/v3/versions/loader"},
        {"http://libraries.minecraft.net/x.jar", "http://libraries.minecraft.net/x.jar"},
    };
    for (const auto& [url, mirrored] : cases) {
        EXPECT_EQ(bmclapi.Rewrite(url), mirrored) << url;
        EXPECT_EQ(official.Rewrite(url), url) << url;
        // The official address skips the mirror.
        EXPECT_EQ(bmclapi.Official(url), url) << url;
    }
}

TEST(UrlRewriter, LocalOriginLinesApplyToTheMirrorsResult) {
    const std::vector<OriginRule> local = {
        {"https://bmclapi2.bangbang93.com", "http://127.0.0.1:8081"},
        {"https://bmclapi2.bangbang93.com/assets", "http://127.0.0.1:8082/objects"},
        {"https://libraries.minecraft.net", "http://127.0.0.1:8080/libraries"},
        {"https://resources.download.minecraft.net", "http://127.0.0.1:8080/assets"},
    };
    const UrlRewriter bmclapi(Mirror::kBmclapi, local);
    const UrlRewriter official(Mirror::kOfficial, local);
    const std::tuple<std::string, std::string, std::string> cases[] = {
        // url, with the mirror, without it (and as the official address).
        {"https://libraries.minecraft.net/a/b.jar", "http://127.0.0.1:8081/maven/a/b.jar",
         "http://127.0.0.1:8080/libraries/a/b.jar"},
        // The longer origin wins.
        {"https://resources.download.minecraft.net/ab/abc", "http://127.0.0.1:8082/objects/ab/abc",
         "http://127.0.0.1:8080/assets/ab/abc"},
        {"https://piston-meta.mojang.com/x.json", "http://127.0.0.1:8081/x.json", "https://piston-meta.mojang.com/x.json"},
        {"https://example.com/x", "https://example.com/x", "https://example.com/x"},
    };
    for (const auto& [url, mirrored, direct] : cases) {
        EXPECT_EQ(bmclapi.Rewrite(url), mirrored) << url;
        EXPECT_EQ(official.Rewrite(url), direct) << url;
        EXPECT_EQ(bmclapi.Official(url), direct) << url;
    }
}

TEST(UrlRewriter, MirrorNames) {
    EXPECT_EQ(MirrorFromName("official"), Mirror::kOfficial);
    EXPECT_EQ(MirrorFromName("bmclapi"), Mirror::kBmclapi);
    EXPECT_EQ(MirrorFromName("BMCLAPI"), std::nullopt);
    EXPECT_EQ(MirrorFromName(""), std::nullopt);
    EXPECT_EQ(MirrorName(Mirror::kBmclapi), "bmclapi");
    EXPECT_EQ(MirrorName(Mirror::kOfficial), "official");
}

TEST(UrlRewriter, EndpointsFileOriginLinesBecomeRules) {
    Endpoints endpoints = Endpoints::Defaults();
    endpoints.Override(
        "https://libraries.minecraft.net=http://127.0.0.1:8080/libraries/\r\n"
        "update=http://127.0.0.1:9/u/\n"
        "https://resources.download.minecraft.net/ = http://127.0.0.1:8080/assets\n"
        "https://=http://127.0.0.1:1/\n"
        "ftp://example.com=http://127.0.0.1:2/\n"
        "https://empty.example.com=\n");
    const std::vector<OriginRule>& origins = endpoints.Origins();
    ASSERT_EQ(origins.size(), 2u);
    EXPECT_EQ(origins[0].origin, "https://libraries.minecraft.net");
    EXPECT_EQ(origins[0].base, "http://127.0.0.1:8080/libraries");
    EXPECT_EQ(origins[1].origin, "https://resources.download.minecraft.net");
    EXPECT_EQ(origins[1].base, "http://127.0.0.1:8080/assets");
    EXPECT_EQ(endpoints.Base("update"), "http://127.0.0.1:9/u/");
    const UrlRewriter rewriter = UrlRewriter::ForMirror(Mirror::kOfficial, endpoints);
    EXPECT_EQ(rewriter.Rewrite("https://resources.download.minecraft.net/ab/abc"), "http://127.0.0.1:8080/assets/ab/abc");
    EXPECT_EQ(rewriter.Rewrite("https://libraries.minecraft.net/a.jar"), "http://127.0.0.1:8080/libraries/a.jar");
}

}  // namespace
}  // namespace kestrel::net
