#include "settings/OptionsFile.h"

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "support/TempFolder.h"

namespace kestrel::settings {
namespace {

using testing::TempFolder;

// A program folder and a per-user folder in a temporary folder, with the
// options file of the program folder.
struct Launcher {
    TempFolder folder;
    OptionsFile file{platform::LauncherPaths::For(folder.path() + "/program", folder.path() + "/appdata", "Kestrel.exe",
                                                  platform::HostProfile::Linux64())};

    std::string Program() const { return folder.path() + "/program"; }
    void WriteOptions(std::string_view text) const { folder.Write("program/KSTfiles/LauncherOptions.ini", text); }
    std::string ReadOptions() const { return platform::ReadFile(file.path()).value_or("<missing>"); }

    SettingsRecord Load(std::int32_t recommended = 4096, SettingsRecord record = {},
                        std::int64_t machine_total_mb = 0) const {
        file.Load(record, [recommended] { return recommended; }, machine_total_mb);
        return record;
    }
};

// Joins lines with CR LF, as the options file does.
std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

TEST(OptionsFile, NoFileGivesTheDefaults) {
    Launcher launcher;
    const SettingsRecord record = launcher.Load(4096);
    EXPECT_EQ(launcher.file.path(), launcher.Program() + "/KSTfiles/LauncherOptions.ini");
    EXPECT_EQ(record.selected_version, "");
    EXPECT_EQ(record.game_folder, launcher.Program() + "/.minecraft");
    EXPECT_TRUE(record.game_folder_auto);
    EXPECT_EQ(record.current_game_dir, launcher.Program() + "/.minecraft");
    EXPECT_TRUE(record.music_player);
    EXPECT_FALSE(record.isolation);
    EXPECT_EQ(record.launcher_waiting, kExitLauncher);
    EXPECT_EQ(record.game_window, kWindowDefault);
    EXPECT_EQ(record.game_window_width, 854);
    EXPECT_EQ(record.game_window_height, 480);
    EXPECT_EQ(record.memory, 4096);
    EXPECT_EQ(record.java_path, "");
    EXPECT_EQ(record.launcher_version, "22w02a");
    // The account cache's folder is made on the way; loading writes no file.
    EXPECT_TRUE(platform::IsFolder(launcher.folder.path() + "/appdata/Kestrel2"));
    EXPECT_FALSE(std::filesystem::exists(launcher.file.path()));
}

TEST(OptionsFile, SaveWritesTheLinesInTheirOrder) {
    Launcher launcher;
    SettingsRecord record;
    record.selected_version = "1.12.2-forge";
    record.game_folder = "/games/我的世界";
    record.server_address = "mc.example.org:25565";
    record.music_player = true;
    record.java_path = "/usr/lib/jvm/java-17/bin/java";
    record.java_label = "17.0.8";
    record.memory = 3072;
    record.isolation = true;
    record.launcher_waiting = kHideUntilExit;
    record.game_window = kWindowCustom;
    record.game_window_width = 1280;
    record.game_window_height = 720;
    record.game_window_title = "我的世界 1.12";
    record.game_window_watermark = "由我启动";
    ASSERT_TRUE(launcher.file.Save(record).ok());
    const std::string expected = Lines({
        R"(RINKU_SUTAATO="1.12.2-forge")",
        R"(GameFolder="/games/我的世界")",
        R"(GameFolder_Auto="False")",
        R"(ip="mc.example.org:25565")",
        R"(Musicplayer="True")",
        R"(Java="/usr/lib/jvm/java-17/bin/java")",
        R"(JavaV="17.0.8")",
        R"(Memory="3072")",
        R"(Isolation="True")",
        R"(Launcher_Waiting="3")",
        R"(GameWindow="2")",
        R"(GameWindow_Width="1280")",
        R"(GameWindow_Height="720")",
        R"(GameWindow_Title="我的世界 1.12")",
        R"(GameWindow_Watermark="由我启动")",
        R"(Advanced="0")",
        R"(AntiCheat="")",
        R"(Launcher_Version="22w02a")",
        R"(Launcher_Name="Kestrel.exe")",
        R"(DownloadSource="official")",
        R"(CheckFilesBeforeLaunch="True")",
        R"(AutoJava="True")",
        R"(DownloadThreads="16")",
    });
    // Byte for byte: no byte-order mark, CR LF between lines, none at the end.
    EXPECT_EQ(launcher.ReadOptions(), expected);
    EXPECT_EQ(record.saved_text, expected);

    const SettingsRecord loaded = launcher.Load(999);
    EXPECT_EQ(loaded.selected_version, record.selected_version);
    EXPECT_EQ(loaded.game_folder, record.game_folder);
    EXPECT_FALSE(loaded.game_folder_auto);
    EXPECT_EQ(loaded.current_game_dir, "/games/我的世界");
    EXPECT_EQ(loaded.server_address, record.server_address);
    EXPECT_TRUE(loaded.music_player);
    EXPECT_EQ(loaded.java_path, record.java_path);
    EXPECT_EQ(loaded.java_label, record.java_label);
    EXPECT_EQ(loaded.memory, 3072);
    EXPECT_TRUE(loaded.isolation);
    EXPECT_EQ(loaded.launcher_waiting, 3);
    EXPECT_EQ(loaded.game_window, 2);
    EXPECT_EQ(loaded.game_window_width, 1280);
    EXPECT_EQ(loaded.game_window_height, 720);
    EXPECT_EQ(loaded.game_window_title, record.game_window_title);
    EXPECT_EQ(loaded.game_window_watermark, record.game_window_watermark);
}

// Keys added after the original nineteen lines: an older launcher's file
// (without them) reads with their defaults, a save writes them after those
// lines, and unknown values fall back to the defaults.
TEST(OptionsFile, NewerKeysFollowTheOriginalLinesAndDefaultWhenAbsent) {
    const struct Case {
        const char* what;
        std::string text;
        DownloadSource source;
        bool check_files;
        bool automatic_java;
        int jobs;
    } cases[] = {
        {"an older launcher's file", R"(Memory="2048")" "\r\n" R"(Launcher_Name="Kestrel.exe")",
         DownloadSource::kOfficial, true, true, 16},
        {"the mirror, no check, no automatic Java, 4 at once",
         R"(DownloadSource="bmclapi")" "\r\n" R"(CheckFilesBeforeLaunch="False")" "\r\n" R"(AutoJava="False")" "\r\n"
         R"(DownloadThreads="4")",
         DownloadSource::kBmclapi, false, false, 4},
        {"unknown values",
         R"(DownloadSource="BMCLAPI")" "\r\n" R"(CheckFilesBeforeLaunch="no")" "\r\n" R"(AutoJava="off")" "\r\n"
         R"(DownloadThreads="0")",
         DownloadSource::kOfficial, true, true, 16},
        {"too many at once", R"(DownloadThreads="65")", DownloadSource::kOfficial, true, true, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Launcher launcher;
        launcher.WriteOptions(c.text);
        SettingsRecord record = launcher.Load();
        EXPECT_EQ(record.download_source, c.source);
        EXPECT_EQ(record.check_files_before_launch, c.check_files);
        EXPECT_EQ(record.automatic_java, c.automatic_java);
        EXPECT_EQ(record.download_jobs, c.jobs);
    }

    Launcher launcher;
    SettingsRecord record = launcher.Load();
    record.download_source = DownloadSource::kBmclapi;
    record.check_files_before_launch = false;
    record.automatic_java = false;
    record.download_jobs = 32;
    ASSERT_TRUE(launcher.file.Save(record).ok());
    const std::string saved = launcher.ReadOptions();
    const std::string tail =
        "Launcher_Name=\"Kestrel.exe\"\r\nDownloadSource=\"bmclapi\"\r\nCheckFilesBeforeLaunch=\"False\"\r\n"
        "AutoJava=\"False\"\r\nDownloadThreads=\"32\"";
    ASSERT_GE(saved.size(), tail.size());
    EXPECT_EQ(saved.substr(saved.size() - tail.size()), tail);
    const SettingsRecord loaded = launcher.Load();
    EXPECT_EQ(loaded.download_source, DownloadSource::kBmclapi);
    EXPECT_FALSE(loaded.check_files_before_launch);
    EXPECT_FALSE(loaded.automatic_java);
    EXPECT_EQ(loaded.download_jobs, 32);
}

TEST(OptionsFile, AutomaticGameFolderIsSavedEmptyAndIgnoredOnLoad) {
    Launcher launcher;
    launcher.WriteOptions(R"(GameFolder="/somewhere/else")" "\r\n" R"(GameFolder_Auto="True")");
    SettingsRecord record = launcher.Load();
    EXPECT_TRUE(record.game_folder_auto);
    EXPECT_EQ(record.game_folder, launcher.Program() + "/.minecraft");
    EXPECT_EQ(record.current_game_dir, launcher.Program() + "/.minecraft");
    record.game_folder = "/stale";  // whatever the text holds, the flag decides
    ASSERT_TRUE(launcher.file.Save(record).ok());
    EXPECT_NE(launcher.ReadOptions().find("GameFolder=\"\"\r\nGameFolder_Auto=\"True\""), std::string::npos);
    EXPECT_EQ(record.game_folder, launcher.Program() + "/.minecraft");
}

TEST(OptionsFile, ValuesReadByTheirRules) {
    const struct Case {
        const char* what;
        std::string text;
        std::function<void(const SettingsRecord&)> check;
    } cases[] = {
        {"music yes keeps the flag off", R"(Musicplayer="yes")",
         [](const SettingsRecord& r) { EXPECT_FALSE(r.music_player); }},
        {"music False", R"(Musicplayer="False")", [](const SettingsRecord& r) { EXPECT_FALSE(r.music_player); }},
        {"isolation yes keeps the flag off", R"(Isolation="yes")",
         [](const SettingsRecord& r) { EXPECT_FALSE(r.isolation); }},
        {"flags are case-sensitive", R"(Isolation="true")", [](const SettingsRecord& r) { EXPECT_FALSE(r.isolation); }},
        {"window mode 0", R"(GameWindow="0")" "\r\n" R"(GameWindow_Width="1")" "\r\n" R"(GameWindow_Height="2")",
         [](const SettingsRecord& r) {
             EXPECT_EQ(r.game_window, 1);
             EXPECT_EQ(r.game_window_width, 854);
             EXPECT_EQ(r.game_window_height, 480);
         }},
        {"size without mode", R"(GameWindow_Width="1000")",
         [](const SettingsRecord& r) { EXPECT_EQ(r.game_window_width, 854); }},
        {"full screen mode keeps its size", R"(GameWindow="4")" "\r\n" R"(GameWindow_Width="1920")" "\r\n"
                                            R"(GameWindow_Height="1080")",
         [](const SettingsRecord& r) {
             EXPECT_EQ(r.game_window, 4);
             EXPECT_EQ(r.game_window_width, 1920);
             EXPECT_EQ(r.game_window_height, 1080);
         }},
        {"memory with trailing text", R"(Memory="2048MB")", [](const SettingsRecord& r) { EXPECT_EQ(r.memory, 2048); }},
        {"keys are case-sensitive", R"(memory="1024")", [](const SettingsRecord& r) { EXPECT_EQ(r.memory, 4096); }},
        {"after-launch action", R"(Launcher_Waiting="5")",
         [](const SettingsRecord& r) { EXPECT_EQ(r.launcher_waiting, 5); }},
        {"a title stops at its quote", R"(GameWindow_Title="say "hi"")",
         [](const SettingsRecord& r) { EXPECT_EQ(r.game_window_title, "say "); }},
        {"automatic folder False with a folder", R"(GameFolder="/mc")" "\r\n" R"(GameFolder_Auto="False")",
         [](const SettingsRecord& r) {
             EXPECT_FALSE(r.game_folder_auto);
             EXPECT_EQ(r.current_game_dir, "/mc");
         }},
        {"automatic folder False without a folder", R"(GameFolder_Auto="False")",
         [](const SettingsRecord& r) { EXPECT_TRUE(r.game_folder_auto); }},
        {"a foreign file with a byte-order mark and LF lines",
         "\xEF\xBB\xBF[launcher]\nJava=\"C:\\Java\\bin\\javaw.exe\"\nJavaV=\"8\"\nRINKU_SUTAATO=\"1.8.9\"\n",
         [](const SettingsRecord& r) {
             EXPECT_EQ(r.java_path, "C:\\Java\\bin\\javaw.exe");
             EXPECT_EQ(r.java_label, "8");
             EXPECT_EQ(r.selected_version, "1.8.9");
         }},
        {"invalid UTF-8 becomes ?", "ip=\"a\xFFz\"", [](const SettingsRecord& r) { EXPECT_EQ(r.server_address, "a?z"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Launcher launcher;
        launcher.WriteOptions(c.text);
        c.check(launcher.Load(4096));
    }
}

TEST(OptionsFile, UnknownFlagTextKeepsThePreviousValue) {
    Launcher launcher;
    launcher.WriteOptions(R"(Musicplayer="yes")" "\r\n" R"(Isolation="on")" "\r\n" R"(GameFolder_Auto="1")");
    SettingsRecord before;
    before.music_player = true;
    before.isolation = true;
    const SettingsRecord record = launcher.Load(4096, before);
    EXPECT_TRUE(record.music_player);
    EXPECT_TRUE(record.isolation);
}

// Whatever a text setting holds, a save and the next start's load give back
// what was saved: a value the file cannot hold (a quote, a line end) is saved
// empty, and no value turns into a line of another key.
TEST(OptionsFile, SaveAndLoadGiveBackWhatWasSavedForHostileValues) {
    using Text = std::string SettingsRecord::*;
    const Text texts[] = {&SettingsRecord::selected_version, &SettingsRecord::server_address,
                          &SettingsRecord::java_path,        &SettingsRecord::java_label,
                          &SettingsRecord::game_window_title, &SettingsRecord::game_window_watermark,
                          &SettingsRecord::game_folder};
    const struct Case {
        const char* what;
        std::string value;
        bool kept;
    } cases[] = {
        {"plain", "我的世界 1.20 [x] = y", true},
        {"a tab and a backslash", "C:\\Java\tbin", true},
        {"a quote", R"(Ste ve "q")", false},
        {"a marker after a line end", "x\r\nMemory=\"0", false},
        {"a bare LF with a key", "\nJavaV=\"evil", false},
        {"a bare CR", "a\rIsolation=\"True", false},
        {"a key of its own", R"(ip=")", false},
        {"only a quote", "\"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Launcher launcher;
        SettingsRecord record = launcher.Load();
        for (const Text text : texts) record.*text = c.value;
        record.game_folder_auto = false;
        record.memory = 3072;
        record.isolation = false;
        record.game_window = kWindowCustom;
        record.game_window_width = 1280;
        record.game_window_height = 720;
        ASSERT_TRUE(launcher.file.Save(record).ok());

        const SettingsRecord loaded = launcher.Load(999);
        const std::string expected = c.kept ? c.value : "";
        for (const Text text : texts) {
            if (text == &SettingsRecord::game_folder && !c.kept) continue;  // empty means the default folder
            EXPECT_EQ(loaded.*text, expected);
        }
        EXPECT_EQ(loaded.game_folder_auto, !c.kept);
        EXPECT_EQ(loaded.memory, 3072);
        EXPECT_FALSE(loaded.isolation);
        EXPECT_EQ(loaded.game_window, kWindowCustom);
        EXPECT_EQ(loaded.game_window_width, 1280);
        EXPECT_EQ(loaded.game_window_height, 720);
        // The file keeps its lines: 23 of them, each one key.
        const std::string saved = launcher.ReadOptions();
        EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 22);
        EXPECT_EQ(std::count(saved.begin(), saved.end(), '"'), 46);
    }
}

// A value whose closing quote is missing (a file edited by hand) ends with
// its line; it does not take the next line into it.
TEST(OptionsFile, AValueWithoutItsClosingQuoteEndsAtItsLine) {
    const struct Case {
        const char* what;
        std::string text;
        std::string java;
        std::int32_t mode;
    } cases[] = {
        {"CR LF", "Java=\"/usr/bin/java\r\nGameWindow=\"3\"", "/usr/bin/java", 3},
        {"LF", "Java=\"/usr/bin/java\nGameWindow=\"3\"", "/usr/bin/java", 3},
        {"CR", "Java=\"/usr/bin/java\rGameWindow=\"3\"", "/usr/bin/java", 3},
        {"the last line", "GameWindow=\"3\"\r\nJava=\"/usr/bin/java", "/usr/bin/java", 3},
        {"no closing quote anywhere", "GameWindow=\"3\r\nJava=\"/opt/j", "/opt/j", 3},
        {"an empty unclosed value", "Java=\"\r\nGameWindow=\"3\"", "", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Launcher launcher;
        launcher.WriteOptions(c.text);
        const SettingsRecord record = launcher.Load();
        EXPECT_EQ(record.java_path, c.java);
        EXPECT_EQ(record.game_window, c.mode);
        EXPECT_EQ(OptionValue(c.text, "Java"), c.java);
    }
}

// Numbers a file holds outside their ranges read as their defaults; those
// inside are taken as they are.
TEST(OptionsFile, NumbersOutOfRangeReadAsTheirDefaults) {
    constexpr std::int64_t kMachineMb = 8192;
    const struct Case {
        std::string text;
        std::int32_t memory, waiting, mode, width, height;
    } cases[] = {
        {R"(Memory="513")", 513, 1, 1, 854, 480},
        {R"(Memory="8192")", 8192, 1, 1, 854, 480},
        {R"(Memory="512")", 999, 1, 1, 854, 480},
        {R"(Memory="8193")", 999, 1, 1, 854, 480},
        {R"(Memory="-500")", 999, 1, 1, 854, 480},
        {R"(Memory="0")", 999, 1, 1, 854, 480},
        {R"(Memory="abc")", 999, 1, 1, 854, 480},
        {R"(Memory="99999999999")", 999, 1, 1, 854, 480},
        {R"(Launcher_Waiting="5")", 999, 5, 1, 854, 480},
        {R"(Launcher_Waiting="999")", 999, 1, 1, 854, 480},
        {R"(Launcher_Waiting="0")", 999, 1, 1, 854, 480},
        {R"(Launcher_Waiting="-2")", 999, 1, 1, 854, 480},
        {R"(GameWindow="-7")" "\r\n" R"(GameWindow_Width="1000")", 999, 1, 1, 854, 480},
        {R"(GameWindow="6")", 999, 1, 1, 854, 480},
        {R"(GameWindow="2")" "\r\n" R"(GameWindow_Width="2147483648")" "\r\n" R"(GameWindow_Height="-100000")",
         999, 1, 2, 854, 480},
        {R"(GameWindow="2")" "\r\n" R"(GameWindow_Width="16384")" "\r\n" R"(GameWindow_Height="1")", 999, 1, 2,
         16384, 1},
        {R"(GameWindow="2")" "\r\n" R"(GameWindow_Width="16385")" "\r\n" R"(GameWindow_Height="0")", 999, 1, 2,
         854, 480},
        {R"(GameWindow="2")" "\r\n" R"(GameWindow_Width="1280")", 999, 1, 2, 1280, 480},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Launcher launcher;
        launcher.WriteOptions(c.text);
        const SettingsRecord record = launcher.Load(999, {}, kMachineMb);
        EXPECT_EQ(record.memory, c.memory);
        EXPECT_EQ(record.launcher_waiting, c.waiting);
        EXPECT_EQ(record.game_window, c.mode);
        EXPECT_EQ(record.game_window_width, c.width);
        EXPECT_EQ(record.game_window_height, c.height);
    }
    // Without the machine's total there is no upper bound.
    Launcher launcher;
    launcher.WriteOptions(R"(Memory="65536")");
    EXPECT_EQ(launcher.Load(999).memory, 65536);
}

TEST(OptionsFile, AValueHoldingAnotherKeyDoesNotReplaceThatKey) {
    Launcher launcher;
    // A hand-made file: the selected version holds the markers of two keys
    // whose own lines follow.
    launcher.WriteOptions("RINKU_SUTAATO=\"odd ip=\"evil.example Memory=\"64\"\r\nip=\"mc.example.org\"\r\n"
                          "Memory=\"3072\"");
    const SettingsRecord loaded = launcher.Load();
    EXPECT_EQ(loaded.server_address, "mc.example.org");
    EXPECT_EQ(loaded.memory, 3072);
    // A hand-edited file with indented keys still reads.
    launcher.WriteOptions("  Memory=\"1024\"");
    EXPECT_EQ(launcher.Load().memory, 1024);
}

TEST(OptionsFile, GarbageFilesGiveTheDefaults) {
    std::mt19937 random(7);
    std::string binary(4096, '\0');
    for (char& byte : binary) byte = static_cast<char>(random());
    // Garbage that contains quotes and equals signs everywhere, without NULs.
    std::string block(1u << 16, '\0');
    const char alphabet[] = "=\"\r\nKeyMemoryJava_\xE6\x88\x91\xFF";
    for (char& byte : block) byte = alphabet[random() % (sizeof alphabet - 1)];
    std::string noisy;
    while (noisy.size() < (10u << 20)) noisy += block;
    std::string oversized((kMaxOptionsFileBytes + 1), 'x');
    for (const std::string* text : {&binary, &noisy, &oversized}) {
        Launcher launcher;
        launcher.WriteOptions(*text);
        const SettingsRecord record = launcher.Load(2048);
        EXPECT_EQ(record.selected_version, "");
        EXPECT_TRUE(record.game_folder_auto);
        EXPECT_EQ(record.current_game_dir, launcher.Program() + "/.minecraft");
        EXPECT_EQ(record.game_window_width, 854);
        EXPECT_EQ(record.memory, 2048);
    }
    // A folder where the file should be reads as no file.
    Launcher launcher;
    launcher.folder.MakeFolder("program/KSTfiles/LauncherOptions.ini");
    EXPECT_EQ(launcher.Load(2048).memory, 2048);
}

TEST(OptionsFile, SaveCreatesTheDataFolderAndLeavesNoTemporaryFile) {
    Launcher launcher;
    SettingsRecord record = launcher.Load();
    ASSERT_TRUE(launcher.file.Save(record).ok());
    ASSERT_TRUE(launcher.file.Save(record).ok());
    int entries = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(launcher.Program() + "/KSTfiles")) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(launcher.ReadOptions().rfind("RINKU_SUTAATO=\"\"\r\nGameFolder=\"\"\r\n", 0), 0u);
}

// A save that runs out of room part way (here: a file size limit, which binds
// root as well) leaves the previous file whole and the record's new values.
TEST(OptionsFile, FailedSaveKeepsTheOldFileAndTheNewValues) {
    Launcher launcher;
    SettingsRecord record = launcher.Load();
    record.memory = 1024;
    ASSERT_TRUE(launcher.file.Save(record).ok());
    const std::string old_file = launcher.ReadOptions();

    record.memory = 8192;
    record.game_window_title = std::string(200, 't');
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const Status status = launcher.file.Save(record);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(status.ok());
    EXPECT_EQ(launcher.ReadOptions(), old_file);
    EXPECT_EQ(record.memory, 8192);
    EXPECT_EQ(record.game_window_title, std::string(200, 't'));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(launcher.Program() + "/KSTfiles")) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(OptionsFile, MissingJavaIsFilledInOrReported) {
    int searches = 0;
    const FirstJavaPath none = [&searches] {
        ++searches;
        return std::string();
    };
    const FirstJavaPath found = [&searches] {
        ++searches;
        return std::string("/usr/lib/jvm/java-17/bin/java");
    };
    SettingsRecord record;
    record.java_label = "8";
    EXPECT_EQ(OptionsFile::FillInJava(record, none).outcome, JavaFill::Outcome::kNotFound);
    EXPECT_EQ(record.java_path, "");
    EXPECT_EQ(OptionsFile::FillInJava(record, nullptr).outcome, JavaFill::Outcome::kNotFound);
    EXPECT_EQ(OptionsFile::FillInJava(record, found).outcome, JavaFill::Outcome::kFound);
    EXPECT_EQ(record.java_path, "/usr/lib/jvm/java-17/bin/java");
    EXPECT_EQ(record.java_label, "8");
    EXPECT_EQ(searches, 2);
    record.java_path = "/opt/java/bin/java";
    EXPECT_EQ(OptionsFile::FillInJava(record, found).outcome, JavaFill::Outcome::kAlreadySet);
    EXPECT_EQ(record.java_path, "/opt/java/bin/java");
    EXPECT_EQ(searches, 2);
    EXPECT_EQ(kNoJavaWarning, "未自动检测到Java,请您前往设置手动选择!");
}

TEST(OptionsFile, SetCurrentGameDirectoryFollowsTheGameFolder) {
    Launcher launcher;
    SettingsRecord record;
    record.game_folder = "/mc";
    launcher.file.SetCurrentGameDirectory(record);
    EXPECT_EQ(record.current_game_dir, "/mc");
    record.game_folder.clear();
    launcher.file.SetCurrentGameDirectory(record);
    EXPECT_EQ(record.current_game_dir, launcher.Program() + "/.minecraft");
}

}  // namespace
}  // namespace kestrel::settings
