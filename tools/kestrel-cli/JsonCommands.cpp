// kestrel-cli json …: the JSON document's read operations on a UTF-8 file.

#include <algorithm>
#include <ostream>

#include "Command.h"
#include "ParseFailure.h"
#include "net/JsonDocument.h"
#include "net/TextEncoding.h"
#include "platform/Files.h"

namespace kestrel::cli {

namespace {

// Reads and parses FILE; prints the reason and returns false when it cannot.
bool Load(const std::string& path, net::JsonDocument& document, const CliContext& context) {
    const auto bytes = platform::ReadFile(path);
    if (!bytes) {
        context.err << "cannot read " << path << "\n";
        return false;
    }
    const std::string text = net::Utf8ToText(*bytes);
    if (!document.Parse(text)) {
        context.err << ParseFailureText(document.last_parse(), text) << "\n";
        return false;
    }
    return true;
}

int Json(const CliArguments& arguments, const CliContext& context) {
    const auto& words = arguments.positional();
    if (words.empty()) return UsageError(context);
    const std::string& operation = words[0];
    if (operation == "roundtrip") {
        if (words.size() != 2) return UsageError(context);
        net::JsonDocument document;
        if (!Load(words[1], document, context)) return kFailed;
        context.out << document.ToText() << "\n";
        return kDone;
    }
    static const std::string kReads[] = {"get", "json", "int", "count", "type", "exists", "keys"};
    if (words.size() != 3 || std::find(std::begin(kReads), std::end(kReads), operation) == std::end(kReads)) {
        return UsageError(context);
    }
    net::JsonDocument document;
    if (!Load(words[1], document, context)) return kFailed;
    const std::string& path = words[2];
    if (operation == "get") {
        context.out << document.GetText(path) << "\n";
    } else if (operation == "json") {
        context.out << document.GetJson(path) << "\n";
    } else if (operation == "int") {
        context.out << document.GetInteger(path) << "\n";
    } else if (operation == "count") {
        context.out << document.Count(path) << "\n";
    } else if (operation == "type") {
        context.out << document.TypeOf(path) << "\n";
    } else if (operation == "exists") {
        context.out << (document.Exists(path) ? "true" : "false") << "\n";
    } else {  // keys
        for (const std::string& key : document.Keys(path)) context.out << key << "\n";
    }
    return kDone;
}

}  // namespace

std::vector<Command> JsonCommands() {
    return {
        {"json", "get|json|int|count|type|exists|keys FILE PATH | roundtrip FILE", Json},
    };
}

}  // namespace kestrel::cli
