#include "java/PickedJava.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace kestrel::java {
namespace {

using namespace std::chrono_literals;

// What the probe says of files that are no Java, and of the machine's Java.
TEST(PickedJava, OnlyAProgramThatAnswersVersionIsAJava) {
    kestrel::testing::TempFolder folder;
    const auto file = [&folder](const std::string& name, const std::string& text, unsigned mode) {
        const std::string path = folder.Write(name, text);
        ::chmod(path.c_str(), mode);
        return path;
    };
    const struct Case {
        std::string path;
        std::string problem;  // a part of the answer; "" for a Java
    } cases[] = {
        {KESTREL_JAVA, ""},
        {file("fake-java", "#!/bin/sh\necho 'openjdk version \"17.0.8\"' >&2\n", 0755), ""},
        {file("notes.txt", "just a text file\n", 0644), "没有可执行权限"},
        {file("notes-x.txt", "just a text file\n", 0755), "该"},
        {file("silent", "#!/bin/sh\nexit 0\n", 0755), "没有给出Java的版本"},
        {file("failing", "#!/bin/sh\necho 'java version \"1.8\"'\nexit 3\n", 0755), "退出码 3"},
        {file("hanging", "#!/bin/sh\nexec sleep 30\n", 0755), "未在"},
        {file("left-open", "#!/bin/sh\necho version; sleep 5 &\nexec sleep 30\n", 0755), "未在"},
        {folder.path() + "/missing", "不是一个普通文件"},
        {folder.MakeFolder("bin"), "不是一个普通文件"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string problem = JavaProbeProblem(c.path, platform::HostProfile::Current(), {},
                                                     c.problem == "未在" ? 300ms : kJavaProbeLimit);
        if (c.problem.empty()) {
            EXPECT_EQ(problem, "");
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        }
    }
}

// A stop request ends the check (and the program) at once.
TEST(PickedJava, AStopRequestEndsTheCheck) {
    kestrel::testing::TempFolder folder;
    const std::string path = folder.Write("hanging", "#!/bin/sh\nexec sleep 30\n");
    ::chmod(path.c_str(), 0755);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(JavaProbeProblem(path, platform::HostProfile::Current(), stop.get_token()), "检查已取消");
}

}  // namespace
}  // namespace kestrel::java
