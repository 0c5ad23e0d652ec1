#pragma once

// OptionsFile reads and writes the settings record as KSTfiles/LauncherOptions.ini
// beside the launcher. The file keeps its 19 original lines in a fixed order,
// each `Key="value"`, followed by the keys added since (DownloadSource,
// CheckFilesBeforeLaunch, AutoJava, DownloadThreads), joined by CR LF with no line end after the last
// one, UTF-8 without a byte-order mark, flags spelled "True"/"False". Every
// save writes all lines again; loading finds each value with the key lookup,
// so a missing, empty or foreign file just gives the defaults, and a file of
// an older launcher without the newer keys reads them with their defaults.
//
// Loading needs two answers from Java discovery and the memory figures; they
// come in as function objects, so this module does not depend on how they are
// found.
//
// Threading: OptionsFile is immutable after construction and may be used from
// any thread. Load and Save change the record they are given; the caller
// serialises them (only one thread saves).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Result.h"
#include "platform/LauncherPaths.h"
#include "settings/SettingsRecord.h"

namespace kestrel::settings {

// The recommended heap size in MB for the 64-bit table (0 when there is none).
using RecommendedMemory = std::function<std::int32_t()>;
// The path of the first Java runtime found, or an empty text when none is.
using FirstJavaPath = std::function<std::string()>;

// What filling in a missing Java path did at start-up.
struct JavaFill {
    enum class Outcome {
        kAlreadySet,  // the options file named a Java; nothing was searched
        kFound,       // the Java path is now the first Java found
        kNotFound,    // nothing was found; the caller shows the warning below
    };
    Outcome outcome = Outcome::kAlreadySet;
};

// The warning the launcher shows (warning icon) when no Java was found.
inline constexpr std::string_view kNoJavaWarning = "未自动检测到Java,请您前往设置手动选择!";
inline constexpr std::string_view kNoJavaCaption = "Kestrel2";

// Files larger than this read as missing: the options file is a few hundred
// bytes, and no stray file may make the launcher allocate without bound.
inline constexpr std::size_t kMaxOptionsFileBytes = std::size_t{16} << 20;

// The value of one key in an options text: the text between `Key="` and the
// next double quote, or the end of that line when the quote is missing;
// empty when the key is missing. A key at the start of a line is preferred
// to one inside another value.
std::string OptionValue(std::string_view text, std::string_view key);

// An option's integer: optional blanks, an optional sign and the digits that
// follow, clamped to 32 bits; 0 when there are no digits ("abc").
std::int32_t OptionInteger(std::string_view value);

class OptionsFile {
public:
    // The options file of the launcher with these paths (its options file,
    // default game folder, executable name and account folder).
    explicit OptionsFile(platform::LauncherPaths paths);

    // <program folder>/KSTfiles/LauncherOptions.ini
    const std::string& path() const { return paths_.options_file; }
    // <program folder>/.minecraft
    const std::string& default_game_folder() const { return paths_.default_game_folder; }

    // The current game directory becomes the game folder, or the default game
    // folder when the game folder is empty.
    void SetCurrentGameDirectory(SettingsRecord& record) const;

    // The text for the record as a save writes it (the game folder is
    // written empty while the automatic game folder is on). A text value
    // holding a double quote, a CR or an LF is written empty: the file has
    // no escaping, so it would read back cut or as a line of its own.
    std::string BuildText(const SettingsRecord& record) const;

    // The first half of a save: builds the text, keeps it as
    // record.saved_text and points the game folder back at the default while
    // the automatic game folder is on.
    void PrepareSave(SettingsRecord& record) const;

    // The second half: replaces the file with the text atomically (creating
    // KSTfiles/ when it is missing). A failed write leaves the previous file
    // whole and says why.
    Status WriteText(std::string_view text) const;

    // Both halves at once. A failed write leaves the record with its new
    // values.
    Status Save(SettingsRecord& record) const;

    // Reads the file into the record and applies the defaults: no file gives
    // no version, the automatic game folder, music on, isolation off,
    // after-launch action 1, window mode 1 at 854 × 480 and the recommended
    // memory, the official download source and the check before launch on.
    // Also makes sure <local app data>/Kestrel2 exists (the account
    // cache lives there). A flag whose value is neither "True" nor "False"
    // (nor empty, for the music player) keeps the value it had. Numbers
    // outside their ranges (settings/OptionChecks.h; the memory's upper
    // bound is machine_total_mb, none when it is 0) read as their defaults:
    // the recommended memory, after-launch action 1, window mode 1, a width
    // of 854 and a height of 480.
    void Load(SettingsRecord& record, const RecommendedMemory& recommended_memory,
              std::int64_t machine_total_mb = 0) const;

    // Fills in a missing Java path with the first Java found; leaves the Java
    // label alone. Runs after the version list and the account cache have
    // been read at start-up.
    static JavaFill FillInJava(SettingsRecord& record, const FirstJavaPath& first_java_path);

private:
    platform::LauncherPaths paths_;
};

}  // namespace kestrel::settings
