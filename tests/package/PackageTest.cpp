// The launcher as a player installs it. The Debian package is made from the
// tree the tests were built in (cpack, which installs it into a staging
// folder of its own), unpacked with dpkg-deb into a temporary root and run
// from there with a temporary home: the unpacked programs answer, the
// launcher starts up under an X server of the test's own, and what it
// writes lands in the user's data folder, never beside the executable.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "support/TempFolder.h"
#include "support/XvfbServer.h"

namespace kestrel::testing {
namespace {

struct ShellRun {
    int status = -1;
    std::string out;
};

// Runs a shell command line with its standard error joined to its output.
ShellRun Shell(const std::string& command) {
    TempFolder scratch;
    ShellRun run;
    const int raw = std::system((command + " >" + scratch.path() + "/out 2>&1").c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = platform::ReadFile(scratch.path() + "/out").value_or("");
    return run;
}

// A port on 127.0.0.1 that nothing listens on: bound, then let go.
int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

std::string Quote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::set<std::string> FilesBelow(const std::string& folder) {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        files.insert(std::filesystem::relative(entry.path(), folder).string());
    }
    return files;
}

TEST(Package, TheDesktopEntryAndTheMetainfoPassTheValidators) {
    for (const char* tool : {"desktop-file-validate", "appstreamcli"}) {
        if (XvfbServer::Find(tool).empty()) GTEST_SKIP() << tool << " is not installed (desktop-file-utils, appstream)";
    }
    ShellRun run = Shell("desktop-file-validate " + Quote(KESTREL_DESKTOP_ENTRY));
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "");
    run = Shell("appstreamcli validate --no-net " + Quote(KESTREL_METAINFO));
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.find("E:"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("W:"), std::string::npos) << run.out;
}

TEST(Package, TheUnpackedPackageRunsAndKeepsItsDataInTheUsersFolder) {
    for (const char* tool : {"cpack", "dpkg-deb", "dpkg-shlibdeps", "fakeroot"}) {
        if (XvfbServer::Find(tool).empty()) GTEST_SKIP() << tool << " is not installed (cmake, dpkg-dev, fakeroot)";
    }
    XvfbServer xvfb;
    if (!xvfb.ok()) GTEST_SKIP() << xvfb.why();

    TempFolder temp;
    ShellRun run = Shell("cpack -G DEB -B " + Quote(temp.path() + "/package") + " --config " +
                    Quote(std::string(KESTREL_BUILD_DIR) + "/CPackConfig.cmake"));
    ASSERT_EQ(run.status, 0) << run.out;
    std::string deb;
    for (const auto& entry : std::filesystem::directory_iterator(temp.path() + "/package")) {
        if (entry.path().extension() == ".deb") deb = entry.path().string();
    }
    ASSERT_FALSE(deb.empty()) << run.out;

    // Its dependencies: the libraries dpkg-shlibdeps found, the CJK font;
    // a Java runtime is recommended.
    run = Shell("dpkg-deb -f " + Quote(deb) + " Package Depends Recommends");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("Package: kestrel\n"), std::string::npos) << run.out;
    for (const char* needed : {"fonts-noto-cjk", "libssl3", "libqt6widgets6", "libqt6multimedia6", "libcurl4", "libc6"}) {
        EXPECT_NE(run.out.find(needed), std::string::npos) << needed << " in\n" << run.out;
    }
    EXPECT_NE(run.out.find("Recommends: default-jre | java17-runtime"), std::string::npos) << run.out;

    const std::string root = temp.MakeFolder("root");
    run = Shell("dpkg-deb -x " + Quote(deb) + " " + Quote(root));
    ASSERT_EQ(run.status, 0) << run.out;
    const std::string id = KESTREL_APP_ID;
    std::vector<std::string> expected = {"usr/bin/kestrel", "usr/bin/kestrel-cli", "usr/lib/kestrel/libkestrel_qt_media.so",
                                         "usr/lib/kestrel/libkestrel_curl.so",
                                         "usr/share/applications/" + id + ".desktop",
                                         "usr/share/metainfo/" + id + ".metainfo.xml"};
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string edge = std::to_string(size);
        expected.push_back("usr/share/icons/hicolor/" + edge + "x" + edge + "/apps/" + id + ".png");
    }
#if defined(KESTREL_FONT_LICENSE_INSTALLED)
    expected.push_back("usr/share/doc/kestrel/KestrelSans-LICENSE.txt");
#endif
    for (const std::string& file : expected) EXPECT_TRUE(platform::IsRegularFile(root + "/" + file)) << file;
    const std::set<std::string> unpacked = FilesBelow(root);

    const std::string home = temp.MakeFolder("home");
    const std::string runtime = temp.MakeFolder("runtime");
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    const std::string base = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
    const std::string endpoints = temp.Write(
        "endpoints.txt", "mojang_auth=" + base + "\nmicrosoft_login=" + base + "\nxbox_user=" + base + "\nxsts=" + base +
                             "\nminecraft_services=" + base + "\nsession=" + base + "\nupdate=" + base +
                             "launcher/\nupdate_probe=" + base + "\nslogans=" + base + "slogans/Titlelist.ini\nthanks=" +
                             base + "Special_thanks.txt\n");
    // A clean environment, as a desktop session gives a program started
    // from its menu (XDG_DATA_HOME unset: the data goes to ~/.local/share),
    // with a session bus address where none listens: libdbus would fork
    // to start a bus, and a sanitizer build's child can hang in malloc
    // before its exec. A sanitizer build's leak report takes whole stacks,
    // so that the suppressions can name the system's libraries.
    const std::string environment =
        "env -i HOME=" + Quote(home) + " PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY=" + xvfb.name() +
        " XDG_RUNTIME_DIR=" + Quote(runtime) + " DBUS_SESSION_BUS_ADDRESS=unix:path=" + Quote(runtime + "/no-bus") +
        " QT_QPA_PLATFORM=xcb KESTREL_ENDPOINTS=" + Quote(endpoints) +
        " JAVA_HOME=" + Quote(home + "/no-java") + " LSAN_OPTIONS=suppressions=" + KESTREL_LSAN_SUPPRESSIONS +
        ":print_suppressions=0 ASAN_OPTIONS=fast_unwind_on_malloc=0 ";

    run = Shell(environment + Quote(root + "/usr/bin/kestrel-cli") + " --version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "kestrel-cli 22w02a\n");
    run = Shell(environment + Quote(root + "/usr/bin/kestrel") + " --version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "kestrel 22w02a\n");

    // --help needs no display.
    for (const char* program : {"kestrel", "kestrel-cli"}) {
        run = Shell("env -i PATH=/usr/bin:/bin LSAN_OPTIONS=suppressions=" + std::string(KESTREL_LSAN_SUPPRESSIONS) +
                    " ASAN_OPTIONS=fast_unwind_on_malloc=0 " + Quote(root + "/usr/bin/" + program) + " --help");
        EXPECT_EQ(run.status, 0) << program << ": " << run.out;
        EXPECT_EQ(run.out.rfind("usage: " + std::string(program) + " ", 0), 0u) << run.out;
    }

    // kestrel-cli finds its default game folder where the launcher keeps it.
    temp.Write("xdg/kestrel/.minecraft/versions/1.20.1/1.20.1.json", R"({"id":"1.20.1"})");
    run = Shell(environment + "XDG_DATA_HOME=" + Quote(temp.path() + "/xdg") + " " +
                Quote(root + "/usr/bin/kestrel-cli") + " versions");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "1.20.1\n");

    // The launcher starts up and saves its window; a hung one is ended.
    const std::string shot = temp.path() + "/shot.png";
    run = Shell(environment + "timeout -s KILL 240 " + Quote(root + "/usr/bin/kestrel") + " --grab " + Quote(shot));
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("saved " + shot + "\n"), std::string::npos) << run.out;
    // Its start-up requests went through the transfer module of the package.
    EXPECT_EQ(run.out.find("not loaded"), std::string::npos) << run.out;

    const std::string program = home + "/.local/share/kestrel";
    EXPECT_TRUE(platform::IsRegularFile(program + "/KSTfiles/Backgrounds/必读.txt"));
    EXPECT_EQ(FilesBelow(root), unpacked) << "the launcher wrote beside its executable";
}

}  // namespace
}  // namespace kestrel::testing
