// kestrel-cli options …: the launcher's options file, read with its defaults
// and changed one setting at a time, as the settings window does. A value
// the settings window would refuse (shell/OptionChecks.h) is refused here
// too, and the file is left as it was.

#include <functional>
#include <map>
#include <ostream>

#include "AbsolutePath.h"
#include "Command.h"
#include "OptionWords.h"
#include "ProgramOptions.h"
#include "java/MemoryAdvisor.h"
#include "platform/LauncherPaths.h"
#include "platform/SystemInfo.h"
#include "settings/OptionChecks.h"
#include "settings/OptionsFile.h"

namespace kestrel::cli {

namespace {

// Loads the record; an empty (or out of range) Memory gets the recommendation of the 64-bit
// table for this machine's free memory, as at the launcher's start.
settings::SettingsRecord Loaded(const settings::OptionsFile& file) {
    settings::SettingsRecord record;
    file.Load(record, [] { return static_cast<std::int32_t>(java::AdviseHeap("64").heap_mb); },
              static_cast<std::int64_t>(platform::MemoryFigures().total_kb / 1024));
    return record;
}

bool ParseFlag(const std::string& text, bool& flag) {
    if (text != "True" && text != "False") return false;
    flag = text == "True";
    return true;
}

using Setter = std::function<bool(settings::SettingsRecord&, const settings::OptionsFile&, const std::string&)>;

Setter Text(std::string settings::SettingsRecord::*member) {
    return [member](settings::SettingsRecord& record, const settings::OptionsFile&, const std::string& value) {
        record.*member = value;
        return true;
    };
}
Setter Flag(bool settings::SettingsRecord::*member) {
    return [member](settings::SettingsRecord& record, const settings::OptionsFile&, const std::string& value) {
        return ParseFlag(value, record.*member);
    };
}
Setter Integer(std::int32_t settings::SettingsRecord::*member) {
    return [member](settings::SettingsRecord& record, const settings::OptionsFile&, const std::string& value) {
        // The value was checked to be a number in the setting's range.
        record.*member = static_cast<std::int32_t>(settings::TypedNumber(value).value_or(0));
        return true;
    };
}

const std::map<std::string, Setter>& Setters() {
    using R = settings::SettingsRecord;
    static const std::map<std::string, Setter> setters = {
        {"RINKU_SUTAATO", Text(&R::selected_version)},
        // Choosing a folder turns the automatic folder off; an empty folder
        // means the default one, as in the settings window. A relative
        // folder is taken from where kestrel-cli runs, as a folder dialog
        // would give it.
        {"GameFolder",
         [](R& record, const settings::OptionsFile& file, const std::string& value) {
             record.game_folder = AbsolutePath(value);
             record.game_folder_auto = false;
             file.SetCurrentGameDirectory(record);
             return true;
         }},
        {"GameFolder_Auto",
         [](R& record, const settings::OptionsFile& file, const std::string& value) {
             if (!ParseFlag(value, record.game_folder_auto)) return false;
             if (record.game_folder_auto) record.game_folder = file.default_game_folder();
             file.SetCurrentGameDirectory(record);
             return true;
         }},
        {"ip", Text(&R::server_address)},
        {"Musicplayer", Flag(&R::music_player)},
        {"Java", Text(&R::java_path)},
        {"JavaV", Text(&R::java_label)},
        {"Memory", Integer(&R::memory)},
        {"Isolation", Flag(&R::isolation)},
        {"Launcher_Waiting", Integer(&R::launcher_waiting)},
        {"GameWindow", Integer(&R::game_window)},
        {"GameWindow_Width", Integer(&R::game_window_width)},
        {"GameWindow_Height", Integer(&R::game_window_height)},
        {"GameWindow_Title", Text(&R::game_window_title)},
        {"GameWindow_Watermark", Text(&R::game_window_watermark)},
        {"DownloadSource",
         [](R& record, const settings::OptionsFile&, const std::string& value) {
             if (value != "official" && value != "bmclapi") return false;
             record.download_source = settings::DownloadSourceFromText(value);
             return true;
         }},
        {"CheckFilesBeforeLaunch", Flag(&R::check_files_before_launch)},
        {"AutoJava", Flag(&R::automatic_java)},
        {"DownloadThreads", Integer(&R::download_jobs)},
    };
    return setters;
}

int Options(const CliArguments& arguments, const CliContext& context) {
    const auto& words = arguments.positional();
    const settings::OptionsFile file = ProgramOptionsFile(arguments);
    if (words.empty()) {
        settings::SettingsRecord record = Loaded(file);
        // The lines as the next save writes them, one a line.
        std::string text = file.BuildText(record);
        for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
        context.out << text << "\ncurrent game directory: " << record.current_game_dir << "\n";
        return kDone;
    }
    if (words.size() != 3 || words[0] != "set") return UsageError(context);
    const std::string& key = words[1];
    const std::string& value = words[2];
    const auto setter = Setters().find(key);
    if (setter == Setters().end()) {
        context.err << "unknown option key: " << key << "\n";
        return UsageError(context);
    }
    const auto machine_total_mb = static_cast<std::int64_t>(platform::MemoryFigures().total_kb / 1024);
    if (const settings::OptionProblem problem = settings::CheckOption(key, value, machine_total_mb);
        problem != settings::OptionProblem::kNone) {
        context.err << key << ": "
                    << OptionProblemText(problem, value, settings::ShapeOf(key, machine_total_mb).range) << "\n";
        return kUsage;
    }
    settings::SettingsRecord record = Loaded(file);
    if (!setter->second(record, file, value)) return UsageError(context);
    if (const Status saved = file.Save(record); !saved) {
        context.err << saved.error() << "\n";
        return kFailed;
    }
    return kDone;
}

}  // namespace

std::vector<Command> OptionsCommands() {
    return {
        {"options", "[set KEY VALUE] [--program-dir DIR]", Options},
    };
}

}  // namespace kestrel::cli
