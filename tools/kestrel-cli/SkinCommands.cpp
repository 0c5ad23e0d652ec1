// kestrel-cli skin …: the head and figure pictures made from a skin PNG.

#include <charconv>
#include <ostream>

#include "Command.h"
#include "platform/Files.h"
#include "skins/SkinPictures.h"

namespace kestrel::cli {

namespace {

// A skin larger than this is refused unread; real skins are a few kilobytes.
constexpr std::size_t kMaxSkinBytes = std::size_t{32} << 20;

int Skin(const CliArguments& arguments, const CliContext& context) {
    const auto& words = arguments.positional();
    if (words.size() != 3) return UsageError(context);
    const std::string& kind = words[0];
    const bool head = kind == "head" || kind == "backhead";
    if (!head && kind != "front" && kind != "back") return UsageError(context);
    int size = 80;
    if (arguments.Has("--size")) {
        if (!head) return UsageError(context);
        const std::string text = arguments.Get("--size");
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
        if (error != std::errc() || end != text.data() + text.size() || size < 1 || size > skins::kMaxHeadSize) {
            return UsageError(context);
        }
    }
    const auto skin = platform::ReadFile(words[1], kMaxSkinBytes);
    if (!skin) {
        context.err << "cannot read " << words[1] << "\n";
        return kFailed;
    }
    std::string picture;
    if (kind == "head") picture = skins::HeadPicture(*skin, size);
    if (kind == "backhead") picture = skins::BackHeadPicture(*skin, size);
    if (kind == "front") picture = skins::FrontPicture(*skin);
    if (kind == "back") picture = skins::BackPicture(*skin);
    if (picture.empty()) {
        context.err << "not a PNG picture: " << words[1] << "\n";
        return kFailed;
    }
    if (const Status written = platform::WriteFileAtomically(words[2], picture); !written) {
        context.err << written.error() << "\n";
        return kFailed;
    }
    return kDone;
}

}  // namespace

std::vector<Command> SkinCommands() {
    return {
        {"skin", "head|backhead IN OUT [--size N] | front|back IN OUT", Skin},
    };
}

}  // namespace kestrel::cli
