#include "launch/CommandLineBuilder.h"

#include <array>
#include <vector>

#include "accounts/OfflineUuid.h"
#include "java/JavaVersion.h"
#include "launch/CommandLine.h"
#include "launch/GameAssets.h"
#include "launch/Libraries.h"
#include "launch/LoggingConfiguration.h"
#include "launch/Placeholders.h"
#include "launch/RepeatedOptions.h"
#include "launch/Rules.h"
#include "launch/VersionManifests.h"
#include "net/JsonValue.h"
#include "platform/Files.h"

namespace kestrel::launch {

namespace {

constexpr std::string_view kJvmTemplate =
    "-Xmn128m -Xmx{[xmx]}m -Dfml.ignoreInvalidMinecraftCertificates=true -Dfml.ignorePatchDiscrepancies=true";
constexpr std::string_view kLegacyJvmPrefix =
    "-XX:HeapDumpPath=MojangTricksIntelDriversForPerformance_javaw.exe_minecraft.exe.heapdump "
    "-Djava.library.path=${natives_directory} ";
constexpr std::string_view kLegacyClasspathSuffix = " -cp ${classpath}";


std::string Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

bool HoldsBlank(std::string_view text) { return text.find_first_of(" \t") != std::string_view::npos; }

std::string Join(const std::vector<std::string>& texts) {
    std::string joined;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) joined.push_back(' ');
        joined += texts[i];
    }
    return joined;
}

void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
}

struct GameArguments {
    std::string main_class;
    std::string gathered;  // the arguments without the main class
};

// The main class and the game arguments of the chain, before substitution.
GameArguments GatherGameArguments(const std::vector<ChainManifest>& chain) {
    GameArguments result;
    std::string first_legacy;
    bool selected_is_legacy = false;
    std::string& gathered = result.gathered;
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const VersionRecord& manifest = chain[i].manifest.record;
        const std::vector<VersionArgument>& arguments = manifest.game_arguments;
        if (i == 0) {
            result.main_class = manifest.main_class;
            first_legacy = manifest.minecraft_arguments;
            selected_is_legacy = arguments.empty();
        }
        if (arguments.empty()) {
            const std::string& legacy = manifest.minecraft_arguments;
            if (!legacy.empty() && gathered.find(legacy) == std::string::npos) gathered += " " + legacy;
            if (chain.size() > 1) gathered = RemoveRepeatedOptions(gathered);
            continue;
        }
        std::vector<std::string> collected;
        for (const VersionArgument& argument : arguments) {
            if (argument.kind == net::JsonKind::kString) collected.push_back(argument.text);
        }
        if (collected.empty()) {
            // Only rule-guarded entries: take the first value of each.
            for (const VersionArgument& argument : arguments) {
                if (!argument.value_items.empty() && argument.value_items.front().kind == net::JsonKind::kString) {
                    collected.push_back(argument.value_items.front().text);
                }
            }
        }
        const std::string joined = Join(collected);
        if (!joined.empty() && gathered.find(joined) == std::string::npos) gathered += " " + joined;
    }
    // The selected version's own legacy text must be there: a version with
    // `arguments.game` did not add it above. A legacy version did add it
    // first of all, and adding it again would pass every one of its options
    // twice, which the game refuses.
    if (!first_legacy.empty() && !selected_is_legacy && Trim(gathered) != first_legacy &&
        gathered.find(first_legacy) == std::string::npos) {
        gathered += " " + first_legacy;
    }
    return result;
}

// The `arguments.jvm` entries one manifest contributes.
std::vector<std::string> TakenJvmEntries(const VersionRecord& manifest, const Rules& rules) {
    std::vector<std::string> taken;
    for (const VersionArgument& argument : manifest.jvm_arguments) {
        if (rules.FirstRule(argument.rules) != FirstRuleSystem::kNone) {
            if (rules.TakenAtLaunch(argument.rules)) {
                // A value that is one string rather than an array gives the
                // empty text here, as it always has.
                taken.push_back(argument.value_items.empty() ? std::string() : argument.value_items.front().text);
            }
        } else if (argument.kind == net::JsonKind::kString) {
            taken.push_back(argument.text);
        }
    }
    return taken;
}

}  // namespace

std::string GameDirectory(const LaunchPlan& plan, const platform::HostProfile& profile) {
    if (!plan.isolation) return plan.game_folder;
    return VersionManifests(plan.game_folder, profile).VersionFolder(plan.version_id);
}

CommandLineBuilder::CommandLineBuilder(platform::HostProfile profile, platform::RandomSource& random)
    : profile_(std::move(profile)), random_(random) {}

std::string CommandLineBuilder::RandomToken() const {
    std::string token;
    token.reserve(32);
    for (int i = 0; i < 32; ++i) {
        char c = 0;
        switch (random_.Between(1, 3)) {
            case 1: c = static_cast<char>(random_.Between('0', '9')); break;
            case 2: c = static_cast<char>(random_.Between('A', 'Z')); break;
            default: c = static_cast<char>(random_.Between('a', 'z')); break;
        }
        token.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    return token;
}

Result<std::string> CommandLineBuilder::Build(const LaunchPlan& plan) const {
    const VersionManifests manifests(plan.game_folder, profile_);
    const std::vector<ChainManifest> chain = manifests.ReadChain(plan.version_id);
    const VersionRecord& selected = chain.front().manifest.record;

    std::string error;
    if (plan.player_name.empty()) error = kErrorNoPlayerName;
    if (plan.memory_mb <= 512) error = kErrorMemory;
    if (!platform::IsRegularFile(profile_.NativePath(plan.java_path))) error = kErrorNoJava;
    const std::string required_java = VersionManifests::RequiredJavaMajor(chain);
    if (!required_java.empty() &&
        java::JavaMajorNumber(required_java) !=
            java::JavaMajorNumber(java::JavaMajorVersion(plan.java_path, profile_))) {
        error = std::string(kErrorJavaVersion) + required_java;
    }
    const bool manifest_read = chain.front().manifest.ok;
    if (!manifest_read) error = kErrorManifest;

    // Derived values.
    const std::string sep(1, profile_.path_sep);
    const std::string game_directory = GameDirectory(plan, profile_);
    const std::string natives_folder = manifests.VersionFolder(plan.version_id) + sep + plan.version_id + "-natives";
    const std::string library_folder = plan.game_folder + sep + "libraries";
    const std::string assets_root = QuoteArgument(plan.game_folder + sep + "assets");
    const std::string game_assets = QuoteArgument(GameAssets::Of(chain, plan, profile_).folder);
    const std::string watermark = QuoteArgument(plan.watermark.empty() ? kDefaultWatermark : plan.watermark);
    const std::string token = QuoteIfNeeded(plan.access_token.empty() ? RandomToken() : plan.access_token);
    const std::string uuid = QuoteIfNeeded(plan.player_uuid.empty() ? accounts::OfflineUuid(plan.player_name)
                                                                      : plan.player_uuid);

    const GameArguments game = GatherGameArguments(chain);
    if (manifest_read && Trim(game.gathered).empty()) error = kErrorGameArguments;

    const std::array<Placeholder, 12> game_placeholders = {{
        {"${auth_player_name}", QuoteIfNeeded(plan.player_name), true},
        {"${version_name}", watermark, true},
        {"${version_type}", watermark, true},
        {"${game_directory}", QuoteArgument(game_directory), true},
        {"${assets_root}", assets_root, true},
        {"${game_assets}", game_assets, false},
        {"${assets_index_name}", QuoteIfNeeded(VersionManifests::AssetsIndexName(chain)), false},
        {"${auth_uuid}", uuid, false},
        {"${auth_session}", token, false},
        {"${auth_access_token}", token, false},
        {"${user_properties}", "{}", false},
        {"${user_type}", "mojang", false},
    }};
    const std::string game_text =
        SubstitutePlaceholders(Trim(game.main_class + " " + game.gathered), game_placeholders);

    if (!error.empty()) return Error{std::move(error)};

    const std::string classpath = Libraries(manifests).ClasspathOfReadChain(chain);

    std::string jvm(kJvmTemplate);
    ReplaceAll(jvm, "{[xmx]}", std::to_string(plan.memory_mb));
    if (selected.jvm_arguments.empty()) {
        const std::array<Placeholder, 2> legacy = {{
            {"${classpath}", QuoteArgument(classpath), false},
            {"${natives_directory}", QuoteArgument(natives_folder), false},
        }};
        jvm = SubstitutePlaceholders(std::string(kLegacyJvmPrefix) + jvm + std::string(kLegacyClasspathSuffix),
                                     legacy);
    } else {
        const std::string version_id_text = QuoteIfNeeded(plan.version_id);
        const std::array<Placeholder, 7> quoted = {{
            {"${natives_directory}", QuoteArgument(natives_folder), true},
            {"${library_directory}", QuoteArgument(library_folder), true},
            {"${launcher_name}", std::string(kLauncherName), true},
            {"${classpath_separator}", std::string(1, profile_.classpath_sep), true},
            {"${version_name}", version_id_text, true},
            {"${launcher_version}", std::string(kLauncherVersion), true},
            {"${classpath}", QuoteArgument(classpath), true},
        }};
        // An entry with a blank is quoted whole, so its values go in bare.
        const std::array<Placeholder, 7> bare = {{
            {"${natives_directory}", natives_folder, true},
            {"${library_directory}", library_folder, true},
            {"${launcher_name}", std::string(kLauncherName), true},
            {"${classpath_separator}", std::string(1, profile_.classpath_sep), true},
            {"${version_name}", plan.version_id, true},
            {"${launcher_version}", std::string(kLauncherVersion), true},
            {"${classpath}", classpath, true},
        }};
        const Rules rules(profile_);
        std::vector<std::string> taken;
        std::vector<std::string> pieces;
        for (auto element = chain.rbegin(); element != chain.rend(); ++element) {
            for (std::string& entry : TakenJvmEntries(element->manifest.record, rules)) {
                pieces.push_back(HoldsBlank(entry) ? QuoteArgument(SubstitutePlaceholders(entry, bare))
                                                   : SubstitutePlaceholders(entry, quoted));
                taken.push_back(std::move(entry));
            }
        }
        const std::string joined = Join(taken);
        if (!joined.empty() && jvm.find(joined) == std::string::npos) jvm += " " + Join(pieces);
    }

    if (const auto logging = LoggingConfiguration::Of(chain, plan.game_folder, profile_)) {
        jvm += " " + logging->CommandLineText();
    }

    std::string line = jvm + "  " + game_text + "  " + "--height " + std::to_string(plan.window_height) +
                       " --width " + std::to_string(plan.window_width);
    return Trim(line);
}

}  // namespace kestrel::launch
