#include "ChainCheck.h"

#include <optional>
#include <ostream>

#include "ParseFailure.h"
#include "launch/CommandLineBuilder.h"
#include "launch/VersionManifests.h"
#include "net/JsonDocument.h"
#include "net/TextEncoding.h"
#include "platform/Files.h"

namespace kestrel::cli {

namespace {

// What is wrong with the manifest at path (a native path), or nothing.
std::optional<std::string> ManifestFault(const std::string& path) {
    if (!platform::IsRegularFile(path)) return "is not installed: " + path + " does not exist";
    const std::optional<std::string> bytes = platform::ReadFile(path);
    if (!bytes) return "has a manifest that cannot be read: " + path;
    const std::string text = net::Utf8ToText(*bytes);
    net::JsonDocument document;
    if (!document.Parse(text)) return "has a broken manifest: " + path + ": " + ParseFailureText(document.last_parse(), text);
    if (document.TypeOf("") != static_cast<int>(net::JsonKind::kObject)) {
        return "has a broken manifest: " + path + ": not a JSON object";
    }
    return std::nullopt;
}

}  // namespace

bool CheckChain(const std::string& id, const CliContext& context) {
    const auto fail = [&](const std::string& detail) {
        context.err << launch::kErrorManifest << "\n" << detail << "\n";
        return false;
    };
    if (!launch::VersionManifests::IsSafeId(id)) return fail("not a version id: " + id);
    const launch::VersionManifests manifests(context.game_dir, context.profile);
    const std::vector<std::string> chain = manifests.Chain(id);
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const std::optional<std::string> fault =
            ManifestFault(context.profile.NativePath(manifests.ManifestPath(chain[i])));
        if (!fault) continue;
        // A parent is named with the version that inherits from it, which
        // is where the player looks for the mistake.
        const std::string subject =
            i == 0 ? "version " + id : "version " + chain[i - 1] + " inherits from " + chain[i] + ", which";
        return fail(subject + " " + *fault);
    }
    return true;
}

}  // namespace kestrel::cli
