#include "net/Endpoints.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/TempFolder.h"

namespace kestrel::net {
namespace {

const char* const kNames[] = {"mojang_auth", "microsoft_login", "xbox_user", "xsts", "minecraft_services",
                              "session", "update", "update_probe", "slogans", "thanks"};

TEST(Endpoints, DefaultsArePublicHttpsAddresses) {
    const Endpoints table = Endpoints::Defaults();
    for (const char* name : kNames) EXPECT_EQ(table.Base(name).rfind("https://", 0), 0u) << name;
    EXPECT_EQ(table.Base("update").back(), '/');
    EXPECT_EQ(table.Url("mojang_auth", "/authenticate"), "https://authserver.mojang.com/authenticate");
    EXPECT_EQ(table.Base("no_such_service"), "");
}

TEST(Endpoints, OverrideFileFromTheEnvironment) {
    testing::TempFolder folder;
    const std::string file = folder.Write("endpoints.txt",
                                          "update=http://127.0.0.1:8080/u/\r\n"
                                          "  session = http://127.0.0.1:9/s  \n"
                                          "unknown=http://x/\n"
                                          "no equals sign\n"
                                          "xsts=\n");
    ::setenv("KESTREL_ENDPOINTS", file.c_str(), 1);
    const Endpoints table = Endpoints::FromEnvironment();
    ::setenv("KESTREL_ENDPOINTS", (folder.path() + "/missing").c_str(), 1);
    const Endpoints missing = Endpoints::FromEnvironment();
    ::unsetenv("KESTREL_ENDPOINTS");

    EXPECT_EQ(table.Url("update", "/update.xml"), "http://127.0.0.1:8080/u//update.xml");
    EXPECT_EQ(table.Url("update", "notice.xml"), "http://127.0.0.1:8080/u/notice.xml");
    EXPECT_EQ(table.Base("session"), "http://127.0.0.1:9/s");
    EXPECT_EQ(table.Base("unknown"), "");
    EXPECT_EQ(table.Base("xsts"), Endpoints::Defaults().Base("xsts"));
    for (const char* name : kNames) EXPECT_EQ(missing.Base(name), Endpoints::Defaults().Base(name));
}

}  // namespace
}  // namespace kestrel::net
