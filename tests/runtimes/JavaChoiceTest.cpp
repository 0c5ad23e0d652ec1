#include "runtimes/JavaChoice.h"

#include <gtest/gtest.h>

namespace kestrel::runtimes {
namespace {

using Kind = JavaChoice::Kind;

TEST(JavaChoice, TakesAFittingJavaOrDownloadsOne) {
    const std::string own17 = "/g/runtime/java-runtime-gamma/linux/java-runtime-gamma/bin/java";
    const std::vector<java::JavaCandidate> discovered = {
        {"8", "/usr/lib/jvm/java-8/bin/java", "64"},
        {"17", "/usr/lib/jvm/java-17/bin/java", "64"},
        {"21", "/opt/jdk-21/bin/java", "64"},
        {"17", own17, "64"},
        {"获取失败", "/opt/broken/bin/java", "未知"},
    };
    const std::vector<InstalledRuntime> installed = {{"java-runtime-gamma", "17.0.8", own17},
                                                     {"jre-legacy", "8u51", "/g/runtime/jre-legacy/x/bin/java"}};
    const std::vector<java::JavaCandidate> only8 = {discovered[0]};
    struct Case {
        std::string name;
        JavaChoiceInput input;
        const std::vector<java::JavaCandidate>* found;
        JavaChoice choice;
    };
    const std::string chosen = "/usr/lib/jvm/java-8/bin/java";
    const std::vector<Case> cases = {
        {"the chosen Java fits", {chosen, 8, false, true, "8", "jre-legacy"}, &discovered, {Kind::kAsChosen, chosen, ""}},
        {"no requirement", {chosen, 8, false, true, "", ""}, &discovered, {Kind::kAsChosen, chosen, ""}},
        {"too old: the launcher's own runtime of the component first",
         {chosen, 8, false, true, "17", "java-runtime-gamma"}, &discovered, {Kind::kDiscovered, own17, ""}},
        {"too old, another component named: the first discovered 17",
         {chosen, 8, false, true, "17", "java-runtime-beta"}, &discovered,
         {Kind::kDiscovered, "/usr/lib/jvm/java-17/bin/java", ""}},
        {"too new counts as wrong too", {"/opt/jdk-21/bin/java", 21, false, true, "8", ""}, &discovered,
         {Kind::kDiscovered, "/usr/lib/jvm/java-8/bin/java", ""}},
        {"none fits: download the component", {chosen, 8, false, true, "21", "java-runtime-delta"}, &only8,
         {Kind::kDownload, "", "java-runtime-delta"}},
        {"none fits, no component named: Java 8's", {"/x/java", 0, false, true, "8", ""}, &discovered,
         {Kind::kDiscovered, "/usr/lib/jvm/java-8/bin/java", ""}},
        {"no Java chosen at all", {"", 0, false, true, "17", "java-runtime-gamma"}, &only8,
         {Kind::kDownload, "", "java-runtime-gamma"}},
        {"the setting off", {chosen, 8, false, false, "17", "java-runtime-gamma"}, &discovered,
         {Kind::kAsChosen, chosen, ""}},
        {"--java given", {chosen, 8, true, true, "17", "java-runtime-gamma"}, &discovered,
         {Kind::kAsChosen, chosen, ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(ChooseJava(c.input, *c.found, installed), c.choice) << c.name;
}

}  // namespace
}  // namespace kestrel::runtimes
