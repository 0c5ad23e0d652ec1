#include "settings/OptionsFile.h"

#include <filesystem>
#include <limits>
#include <utility>

#include "net/TextEncoding.h"
#include "platform/Files.h"
#include "settings/OptionChecks.h"

namespace kestrel::settings {

namespace {

const char* Flag(bool on) { return on ? "True" : "False"; }

// True when the value can be written as it is: the file has no escaping, a
// value ends at the next double quote and a line at its end, so a value
// holding either would read back as something else (or as another key).
bool Writable(std::string_view value) { return value.find_first_of("\"\r\n") == std::string_view::npos; }

// A value that cannot be written is written empty, which every text setting
// reads as its default (no version, the default game folder, no Java yet, no
// title): the rest of the file stays as it was meant, and nothing reads back
// as a value that was never saved.
void AppendLine(std::string& text, std::string_view key, std::string_view value) {
    if (!text.empty()) text += "\r\n";
    text += key;
    text += "=\"";
    if (Writable(value)) text += value;
    text += '"';
}

// The value that starts at `start`: up to the next double quote, or to the
// end of its line when the closing quote is missing (a hand-edited file), so
// a value never runs on into the next line.
std::string ValueFrom(std::string_view text, std::size_t start) {
    const std::size_t end = text.find_first_of("\"\r\n", start);
    return std::string(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

bool InRange(std::int64_t value, OptionRange range) { return value >= range.low && value <= range.high; }

// Creates a folder and its parents; a folder that exists already, or one
// that cannot be made, is left to the caller's next step to notice.
void MakeFolders(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
}

}  // namespace


std::string OptionValue(std::string_view text, std::string_view key) {
    // A key is looked for at the start of a line first. Values are written
    // raw, so a selected version or a path holding, say, `Memory="` would
    // otherwise stand in for the Memory line that follows it and change
    // that setting at the next start. A file without the key at a line start
    // (edited by hand) is still read by the plain lookup.
    std::string opening(key);
    opening += "=\"";
    if (text.substr(0, opening.size()) == opening) return ValueFrom(text, opening.size());
    const std::string at_line_start = "\n" + opening;
    if (const auto line = text.find(at_line_start); line != std::string_view::npos) {
        return ValueFrom(text, line + at_line_start.size());
    }
    if (const auto at = text.find(opening); at != std::string_view::npos) return ValueFrom(text, at + opening.size());
    return {};
}

std::int32_t OptionInteger(std::string_view value) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::size_t pos = 0;
    while (pos < value.size() && (value[pos] == ' ' || value[pos] == '\t')) ++pos;
    bool negative = false;
    if (pos < value.size() && (value[pos] == '-' || value[pos] == '+')) negative = value[pos++] == '-';
    std::int64_t magnitude = 0;
    for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos) {
        magnitude = magnitude * 10 + (value[pos] - '0');
        if (magnitude > kMax + 1) break;  // far enough to know it clamps
    }
    const std::int64_t signed_value = negative ? -magnitude : magnitude;
    if (signed_value > kMax) return static_cast<std::int32_t>(kMax);
    if (signed_value < kMin) return static_cast<std::int32_t>(kMin);
    return static_cast<std::int32_t>(signed_value);
}

OptionsFile::OptionsFile(platform::LauncherPaths paths) : paths_(std::move(paths)) {}

void OptionsFile::SetCurrentGameDirectory(SettingsRecord& record) const {
    record.current_game_dir = record.game_folder.empty() ? paths_.default_game_folder : record.game_folder;
}

std::string OptionsFile::BuildText(const SettingsRecord& record) const {
    std::string text;
    AppendLine(text, "RINKU_SUTAATO", record.selected_version);
    AppendLine(text, "GameFolder", record.game_folder_auto ? std::string() : record.game_folder);
    AppendLine(text, "GameFolder_Auto", Flag(record.game_folder_auto));
    AppendLine(text, "ip", record.server_address);
    AppendLine(text, "Musicplayer", Flag(record.music_player));
    AppendLine(text, "Java", record.java_path);
    AppendLine(text, "JavaV", record.java_label);
    AppendLine(text, "Memory", std::to_string(record.memory));
    AppendLine(text, "Isolation", Flag(record.isolation));
    AppendLine(text, "Launcher_Waiting", std::to_string(record.launcher_waiting));
    AppendLine(text, "GameWindow", std::to_string(record.game_window));
    AppendLine(text, "GameWindow_Width", std::to_string(record.game_window_width));
    AppendLine(text, "GameWindow_Height", std::to_string(record.game_window_height));
    AppendLine(text, "GameWindow_Title", record.game_window_title);
    AppendLine(text, "GameWindow_Watermark", record.game_window_watermark);
    AppendLine(text, "Advanced", std::to_string(record.advanced));
    AppendLine(text, "AntiCheat", record.anti_cheat);
    AppendLine(text, "Launcher_Version", record.launcher_version);
    AppendLine(text, "Launcher_Name", paths_.launcher_file);
    // Keys added later follow the original nineteen lines, so an older
    // launcher reading this file still finds its own lines where they were.
    AppendLine(text, "DownloadSource", DownloadSourceText(record.download_source));
    AppendLine(text, "CheckFilesBeforeLaunch", Flag(record.check_files_before_launch));
    AppendLine(text, "AutoJava", Flag(record.automatic_java));
    AppendLine(text, "DownloadThreads", std::to_string(record.download_jobs));
    return text;
}

void OptionsFile::PrepareSave(SettingsRecord& record) const {
    record.saved_text = BuildText(record);
    if (record.game_folder_auto) record.game_folder = paths_.default_game_folder;
}

Status OptionsFile::WriteText(std::string_view text) const {
    // The start-up creates KSTfiles/; making it here as well keeps a save from
    // failing when the folder was removed while the launcher ran.
    MakeFolders(std::filesystem::path(paths_.options_file).parent_path().string());
    return platform::WriteFileAtomically(paths_.options_file, net::TextToUtf8(text));
}

Status OptionsFile::Save(SettingsRecord& record) const {
    PrepareSave(record);
    return WriteText(record.saved_text);
}

void OptionsFile::Load(SettingsRecord& record, const RecommendedMemory& recommended_memory,
                       std::int64_t machine_total_mb) const {
    MakeFolders(paths_.account_folder);

    const std::string text =
        net::Utf8ToText(platform::ReadFile(paths_.options_file, kMaxOptionsFileBytes).value_or(""));
    const auto value = [&text](std::string_view key) { return OptionValue(text, key); };

    record.server_address = value("ip");
    record.selected_version = value("RINKU_SUTAATO");
    record.java_path = value("Java");
    record.java_label = value("JavaV");
    const std::string memory = value("Memory");
    record.memory = OptionInteger(memory);
    record.game_folder = value("GameFolder");
    record.game_window_title = value("GameWindow_Title");
    record.game_window_watermark = value("GameWindow_Watermark");

    if (const std::string automatic = value("GameFolder_Auto"); automatic == "True") {
        record.game_folder_auto = true;
        record.game_folder.clear();
    } else if (automatic == "False") {
        record.game_folder_auto = false;
    }

    if (const std::string music = value("Musicplayer"); music == "True" || music.empty()) {
        record.music_player = true;
    } else if (music == "False") {
        record.music_player = false;
    }

    // A memory the launch would refuse (512 MB and less, more than the
    // machine has, no number at all) reads as an empty one.
    if (memory.empty() || !InRange(record.memory, MemoryRange(machine_total_mb))) {
        record.memory = recommended_memory ? recommended_memory() : 0;
    }

    if (const std::string isolation = value("Isolation"); isolation == "True") {
        record.isolation = true;
    } else if (isolation == "False" || isolation.empty()) {
        record.isolation = false;
    }

    if (record.game_folder.empty()) {
        record.game_folder = paths_.default_game_folder;
        record.game_folder_auto = true;
    }
    SetCurrentGameDirectory(record);

    // Numbers outside their range (a hand-edited file) read as their
    // defaults: the boxes of the settings window show only listed choices,
    // and the game gets no window size it cannot make.
    const std::string waiting = value("Launcher_Waiting");
    record.launcher_waiting = waiting.empty() ? kExitLauncher : OptionInteger(waiting);
    if (!InRange(record.launcher_waiting, kAfterLaunchRange)) record.launcher_waiting = kExitLauncher;

    const std::string mode = value("GameWindow");
    if (!mode.empty()) {
        record.game_window = OptionInteger(mode);
        record.game_window_width = OptionInteger(value("GameWindow_Width"));
        record.game_window_height = OptionInteger(value("GameWindow_Height"));
        if (!InRange(record.game_window_width, kWindowSizeRange)) record.game_window_width = kDefaultWindowWidth;
        if (!InRange(record.game_window_height, kWindowSizeRange)) record.game_window_height = kDefaultWindowHeight;
    }
    if (mode.empty() || !InRange(record.game_window, kGameWindowRange)) {
        record.game_window = kWindowDefault;
        record.game_window_width = kDefaultWindowWidth;
        record.game_window_height = kDefaultWindowHeight;
    }

    // Newer keys: absent (an older launcher's file) or unknown reads as the default.
    record.download_source = DownloadSourceFromText(value("DownloadSource"));
    record.check_files_before_launch = value("CheckFilesBeforeLaunch") != "False";
    record.automatic_java = value("AutoJava") != "False";
    record.download_jobs = OptionInteger(value("DownloadThreads"));
    if (!InRange(record.download_jobs, kDownloadJobsRange)) record.download_jobs = kDefaultDownloadJobs;

    // These are written for information only; their values come from the program.
    record.advanced = 0;
    record.anti_cheat.clear();
    record.launcher_version = std::string(kLauncherVersion);
}

JavaFill OptionsFile::FillInJava(SettingsRecord& record, const FirstJavaPath& first_java_path) {
    if (!record.java_path.empty()) return {JavaFill::Outcome::kAlreadySet};
    std::string found = first_java_path ? first_java_path() : std::string();
    if (found.empty()) return {JavaFill::Outcome::kNotFound};
    record.java_path = std::move(found);
    return {JavaFill::Outcome::kFound};
}

}  // namespace kestrel::settings
