#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "platform/Files.h"
#include "skins/PngCodec.h"

namespace kestrel::testing {
namespace {

TEST(Cli, OptionsShowTheDefaultsAndSaveOneSettingAtATime) {
    TempFolder program;
    CliRun run = RunCli({"options", "--program-dir", program.path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("RINKU_SUTAATO=\"\"\nGameFolder=\"\"\nGameFolder_Auto=\"True\"\n", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\nLauncher_Name=\"kestrel-cli\"\nDownloadSource=\"official\"\n"
                           "CheckFilesBeforeLaunch=\"True\"\nAutoJava=\"True\"\nDownloadThreads=\"16\"\ncurrent game directory: " +
                           program.path() + "/.minecraft\n"),
              std::string::npos)
        << run.out;

    run = RunCli({"options", "set", "GameFolder", "/games/mc", "--program-dir", program.path()});
    EXPECT_EQ(run.status, 0) << run.err;
    run = RunCli({"options", "set", "Isolation", "True", "--program-dir", program.path()});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string file = platform::ReadFile(program.path() + "/KSTfiles/LauncherOptions.ini").value_or("");
    EXPECT_NE(file.find("GameFolder=\"/games/mc\"\r\nGameFolder_Auto=\"False\"\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("Isolation=\"True\"\r\n"), std::string::npos) << file;
    run = RunCli({"options", "set", "DownloadSource", "bmclapi", "--program-dir", program.path()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(platform::ReadFile(program.path() + "/KSTfiles/LauncherOptions.ini").value_or("").find(
                  "\r\nDownloadSource=\"bmclapi\"\r\n"),
              std::string::npos);
    run = RunCli({"options", "--program-dir", program.path()});
    EXPECT_NE(run.out.find("current game directory: /games/mc\n"), std::string::npos) << run.out;

    EXPECT_EQ(RunCli({"options", "set", "Isolation", "yes", "--program-dir", program.path()}).status, 2);
    EXPECT_EQ(RunCli({"options", "set", "DownloadSource", "mirror", "--program-dir", program.path()}).status, 2);
    // The downloads at once: 1 to 64, as the settings window offers them.
    EXPECT_EQ(RunCli({"options", "set", "DownloadThreads", "8", "--program-dir", program.path()}).status, 0);
    EXPECT_NE(platform::ReadFile(program.path() + "/KSTfiles/LauncherOptions.ini").value_or("").find(
                  "\r\nDownloadThreads=\"8\""),
              std::string::npos);
    EXPECT_EQ(RunCli({"options", "set", "DownloadThreads", "0", "--program-dir", program.path()}).status, 2);
    EXPECT_EQ(RunCli({"options", "set", "DownloadThreads", "65", "--program-dir", program.path()}).status, 2);
    EXPECT_EQ(RunCli({"options", "set", "Launcher_Name", "x", "--program-dir", program.path()}).status, 2);
    EXPECT_EQ(RunCli({"options", "get"}).status, 2);
}

// The machine's total memory as `memory` prints it.
long long TotalMemoryMb() {
    const CliRun run = RunCli({"memory"});
    return std::stoll(run.out.substr(run.out.find("total: ") + 7));
}

// `options set` refuses what the settings window refuses, says why, and
// leaves the file as it was; values at the edges of their ranges are taken.
TEST(Cli, OptionsSetRefusesValuesTheWindowRefuses) {
    TempFolder program;
    const std::string file = program.path() + "/KSTfiles/LauncherOptions.ini";
    ASSERT_EQ(RunCli({"options", "set", "Memory", "1024", "--program-dir", program.path()}).status, 0);
    const std::string before = platform::ReadFile(file).value_or("");
    ASSERT_NE(before.find("Memory=\"1024\""), std::string::npos) << before;
    const std::string total = std::to_string(TotalMemoryMb());
    const std::string above_total = std::to_string(TotalMemoryMb() + 1);

    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"Memory", "-500"}, "Memory: out of range: -500 (from 513 to " + total + ")"},
        {{"Memory", "512"}, "Memory: out of range: 512 (from 513 to " + total + ")"},
        {{"Memory", above_total}, "Memory: out of range: " + above_total + " (from 513 to " + total + ")"},
        {{"Memory", "2g"}, "Memory: not a number: 2g"},
        {{"GameWindow_Width", "abc"}, "GameWindow_Width: not a number: abc"},
        {{"GameWindow_Width", "2147483648"}, "GameWindow_Width: out of range: 2147483648 (from 1 to 16384)"},
        {{"GameWindow_Height", "-100000"}, "GameWindow_Height: out of range: -100000 (from 1 to 16384)"},
        {{"GameWindow_Height", ""}, "GameWindow_Height: not a number: "},
        {{"Launcher_Waiting", "999"}, "Launcher_Waiting: out of range: 999 (from 1 to 5)"},
        {{"GameWindow", "-7"}, "GameWindow: out of range: -7 (from 1 to 5)"},
        {{"Isolation", "yes"}, "Isolation: not True or False: yes"},
        {{"GameWindow_Title", "My \"Game\""},
         "GameWindow_Title: cannot be saved: the value holds a double quote or a control character"},
        {{"Java", "/usr/bin/java\nGameWindow=\"3"},
         "Java: cannot be saved: the value holds a double quote or a control character"},
        {{"GameWindow_Watermark", "tab\there"},
         "GameWindow_Watermark: cannot be saved: the value holds a double quote or a control character"},
        {{"Launcher_Name", "x"}, "unknown option key: Launcher_Name\nusage: kestrel-cli options"},
        {{"memory", "1024"}, "unknown option key: memory\nusage: kestrel-cli options"},
    };
    for (const auto& [words, err] : refused) {
        const CliRun run = RunCli({"options", "set", words[0], words[1], "--program-dir", program.path()});
        EXPECT_EQ(run.status, 2) << words[0] << "=" << words[1];
        EXPECT_EQ(run.err.rfind(err + (err.find("usage:") == std::string::npos ? "\n" : ""), 0), 0u) << run.err;
        EXPECT_EQ(platform::ReadFile(file).value_or(""), before) << words[0] << "=" << words[1];
    }

    const std::pair<std::vector<std::string>, std::string> taken[] = {
        {{"Memory", "513"}, "Memory=\"513\""},
        {{"Memory", total}, "Memory=\"" + total + "\""},
        {{"GameWindow_Width", "16384"}, "GameWindow_Width=\"16384\""},
        {{"GameWindow_Height", " 1 "}, "GameWindow_Height=\"1\""},
        {{"Launcher_Waiting", "5"}, "Launcher_Waiting=\"5\""},
        {{"GameWindow", "+2"}, "GameWindow=\"2\""},
        {{"GameWindow_Title", "我的世界 1.20"}, "GameWindow_Title=\"我的世界 1.20\""},
    };
    for (const auto& [words, line] : taken) {
        const CliRun run = RunCli({"options", "set", words[0], words[1], "--program-dir", program.path()});
        EXPECT_EQ(run.status, 0) << words[0] << "=" << words[1] << ": " << run.err;
        EXPECT_NE(platform::ReadFile(file).value_or("").find(line + "\r\n"), std::string::npos) << line;
    }
}

TEST(Cli, SkinPicturesAreWrittenAsPng) {
    TempFolder folder;
    skins::Image skin(64, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) skin.Set(x, y, skins::MakeArgb(255, 9, static_cast<std::uint8_t>(x), 9));
    }
    const std::string in = folder.Write("skin.png", skins::EncodePng(skin));
    const std::string out = folder.path() + "/out.png";
    const struct {
        std::vector<std::string> arguments;
        int width, height;
    } cases[] = {
        {{"skin", "head", in, out}, 80, 80},
        {{"skin", "backhead", in, out, "--size", "32"}, 32, 32},
        {{"skin", "front", in, out}, 157, 333},
        {{"skin", "back", in, out}, 157, 333},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.arguments);
        EXPECT_EQ(run.status, 0) << c.arguments[1] << run.err;
        const skins::Image picture = skins::DecodePng(platform::ReadFile(out).value_or(""));
        EXPECT_EQ(picture.width(), c.width) << c.arguments[1];
        EXPECT_EQ(picture.height(), c.height) << c.arguments[1];
    }

    const std::string text = folder.Write("skin.txt", "not a picture");
    CliRun run = RunCli({"skin", "head", text, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(run.err.empty());
    EXPECT_EQ(RunCli({"skin", "head", folder.path() + "/missing.png", out}).status, 1);
    EXPECT_EQ(RunCli({"skin", "head", in, folder.path() + "/no/such/folder/out.png"}).status, 1);
    for (const std::vector<std::string>& usage : std::vector<std::vector<std::string>>{
             {"skin", "side", in, out},
             {"skin", "head", in},
             {"skin", "head", in, out, "--size", "0"},
             {"skin", "head", in, out, "--size", "80px"},
             {"skin", "front", in, out, "--size", "80"},
         }) {
        EXPECT_EQ(RunCli(usage).status, 2) << usage[1];
    }
}

}  // namespace
}  // namespace kestrel::testing
