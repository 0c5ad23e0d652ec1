#include "launch/LoggingConfiguration.h"

#include <array>

#include "launch/CommandLine.h"
#include "launch/Placeholders.h"
#include "launch/SafeNames.h"
#include "platform/Files.h"

namespace kestrel::launch {

namespace {

constexpr std::string_view kPath = "${path}";

std::string WithPath(const std::string& text, std::string path) {
    const std::array<Placeholder, 1> placeholders = {{{kPath, std::move(path), true}}};
    return SubstitutePlaceholders(text, placeholders);
}

}  // namespace

std::optional<LoggingConfiguration> LoggingConfiguration::Of(const std::vector<ChainManifest>& chain,
                                                             const std::string& game_folder,
                                                             const platform::HostProfile& profile) {
    const LoggingRecord* logging = nullptr;
    for (const ChainManifest& element : chain) {
        if (element.manifest.record.logging.given) {
            logging = &element.manifest.record.logging;
            break;
        }
    }
    if (!logging || !logging->argument.starts_with('-') || !IsSafeFileId(logging->file.id)) return std::nullopt;
    LoggingConfiguration configuration;
    configuration.path =
        profile.Join(profile.Join(profile.Join(game_folder, "assets"), "log_configs"), logging->file.id);
    if (!platform::IsRegularFile(profile.NativePath(configuration.path))) return std::nullopt;
    configuration.template_ = logging->argument;
    configuration.argument = WithPath(logging->argument, configuration.path);
    return configuration;
}

std::string LoggingConfiguration::CommandLineText() const {
    // A text that the split would cut or change (a blank, a double quote) is
    // quoted whole; otherwise only the path is, as -Djava.library.path is.
    if (QuoteIfNeeded(template_) != template_) return QuoteArgument(argument);
    return WithPath(template_, QuoteArgument(path));
}

}  // namespace kestrel::launch
