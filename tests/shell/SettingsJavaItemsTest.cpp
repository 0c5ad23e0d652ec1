#include "shell/SettingsJavaItems.h"

#include <gtest/gtest.h>

namespace kestrel::shell {
namespace {

using platform::HostProfile;

TEST(SettingsJavaItems, ItemTextsAndTheStoredJava) {
    EXPECT_EQ(JavaItemText("8", "C:\\Java\\jre\\bin\\javaw.exe"), "Java8 | C:\\Java\\jre\\bin\\javaw.exe");
    EXPECT_EQ(StoredJavaText("17", "/opt/jdk/bin/java"), "Java17 | /opt/jdk/bin/java");
    EXPECT_EQ(StoredJavaText("自定义Java", "/opt/jdk/bin/java"), "自定义Java | /opt/jdk/bin/java");
}

TEST(SettingsJavaItems, PathAndLabelComeBackOutOfTheItem) {
    struct Case {
        HostProfile host;
        std::string text;
        std::optional<JavaItem> expected;
    };
    const std::vector<Case> cases = {
        // Windows: up to the first "exe" after the separator.
        {HostProfile::Windows64(), "Java8 | C:\\Program Files\\Java\\jre1.8.0_301\\bin\\javaw.exe",
         JavaItem{"8", "C:\\Program Files\\Java\\jre1.8.0_301\\bin\\javaw.exe"}},
        {HostProfile::Windows64(), "Java17 | D:\\jdk | 17\\bin\\javaw.exe",
         JavaItem{"17", "D:\\jdk | 17\\bin\\javaw.exe"}},
        {HostProfile::Windows64(), "Java获取失败 | C:\\odd\\java", JavaItem{"获取失败", "C:\\odd\\java"}},
        // Linux: the executable has no ending; everything after the separator.
        {HostProfile::Linux64(), "Java17 | /usr/lib/jvm/java-17-openjdk-amd64/bin/java",
         JavaItem{"17", "/usr/lib/jvm/java-17-openjdk-amd64/bin/java"}},
        {HostProfile::Linux64(), "Java11 | /opt/exe tools/jdk | 11/bin/java",
         JavaItem{"11", "/opt/exe tools/jdk | 11/bin/java"}},
        {HostProfile::Linux64(), "自定义Java | /opt/jdk/bin/java", JavaItem{"自定义Java", "/opt/jdk/bin/java"}},
        {HostProfile::Linux64(), "no separator", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseJavaItem(c.text, c.host), c.expected);
    }
}

}  // namespace
}  // namespace kestrel::shell
