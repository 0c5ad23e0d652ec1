#pragma once

// VersionRecord is one version manifest read into typed records: what the
// classpath, the natives, the command line and the installer need of it, read
// once when the manifest is read instead of looked up by JSON path by each of
// them.
//
// Texts keep the manifest's own reading, on which the launch's texts depend:
// a text member is a string's text, a number's exact lexeme, "true" or
// "false", and empty for anything else; an optional member is present when
// the manifest has the member with a value other than null. A list member
// (libraries, rules, arguments) holds the elements of an array, or the values
// of an object standing in its place, in order, since the launch has always
// walked both by position.
//
// Threading: plain values.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "net/JsonValue.h"

namespace kestrel::launch {

// One rule of a library or an argument:
// {action, os: {name, arch, version}, features: {name: bool}}.
struct VersionRule {
    std::string action;
    std::optional<std::string> os_name;
    std::optional<std::string> os_arch;
    std::optional<std::string> os_version;  // a regular expression
    std::vector<std::pair<std::string, bool>> features;
};

// A `rules` member: given tells an empty list apart from no list at all.
struct RuleList {
    bool given = false;
    std::vector<VersionRule> rules;
};

// A file to download: {path, sha1, size, url} (path only for artifacts,
// id only for asset indexes and logging files).
struct DownloadRecord {
    bool given = false;
    std::string id;
    std::string path;
    std::string sha1;
    std::int64_t size = 0;
    std::string url;
    bool url_given = false;  // the member exists (an empty url is not downloadable)
};

// One element of a list of values as the launch reads it by position.
struct TextItem {
    net::JsonKind kind = net::JsonKind::kNull;
    std::string text;
};

// An entry of `arguments.game` or `arguments.jvm`: a plain string, or an
// object {rules, value} whose value is one string or a list of them.
struct VersionArgument {
    net::JsonKind kind = net::JsonKind::kNull;  // of the entry itself
    std::string text;                            // the entry's text (a plain string)
    RuleList rules;
    std::string value_text;             // value, when it is one string
    std::vector<TextItem> value_items;  // value, when it is a list
};

struct VersionLibrary {
    std::string name;  // the Maven coordinate
    RuleList rules;
    // `natives`: the system names and classifiers, in manifest order.
    bool has_natives = false;
    std::vector<std::pair<std::string, std::string>> natives;
    std::vector<std::string> extract_exclude;
    DownloadRecord artifact;  // downloads.artifact
    std::vector<std::pair<std::string, DownloadRecord>> classifiers;  // downloads.classifiers
    std::optional<std::string> url;  // a repository base (Fabric, old Forge)

    // The classifier of a system, "" when the library names none for it.
    std::string NativesClassifier(std::string_view os_name) const;
};

struct AssetIndexRecord {
    std::string id;
    std::string sha1;
    std::int64_t size = 0;
    std::int64_t total_size = 0;
    std::string url;
};

struct LoggingRecord {
    bool given = false;
    std::string argument;  // "-Dlog4j.configurationFile=${path}"
    std::string type;
    DownloadRecord file;
};

struct VersionRecord {
    std::string id;
    std::string type;
    std::string main_class;
    std::optional<std::string> inherits_from;
    std::string minecraft_arguments;     // the old single text of game arguments
    std::vector<VersionArgument> game_arguments;
    std::vector<VersionArgument> jvm_arguments;
    std::vector<VersionLibrary> libraries;
    bool libraries_in_array = false;     // `libraries` is an array (not an object in its place)
    std::string assets;                  // the asset index name
    AssetIndexRecord asset_index;
    LoggingRecord logging;               // logging.client
    std::string java_component;          // javaVersion.component
    std::string java_major;              // javaVersion.majorVersion
    DownloadRecord client;               // downloads.client
    // The manifest's text names Forge or OptiFine somewhere (either case).
    bool mentions_forge = false;
    bool mentions_optifine = false;

    // Reads a manifest; root may be null (an unusable file gives the empty
    // record). text is the manifest's text, searched for the loaders' names.
    static VersionRecord Read(const net::JsonValue* root, std::string_view text);
};

}  // namespace kestrel::launch
