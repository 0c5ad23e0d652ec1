#include "install/VersionJsonStore.h"

#include <optional>
#include <utility>
#include <vector>

#include "install/ChainFiles.h"
#include "net/JsonDocument.h"
#include "net/JsonParser.h"
#include "net/JsonWriter.h"
#include "platform/Files.h"

namespace kestrel::install {

namespace {

constexpr std::string_view kErrorNotVersionJson = "版本文件无法读取或没有版本名";
constexpr std::string_view kErrorUnsafeId = "版本名不安全: ";
constexpr std::string_view kErrorWrite = "无法写入版本文件: ";

bool IsQuote(char c) { return c == '"' || c == '\''; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The position after the string that starts with the quote at start; npos
// when the text ends inside it.
std::size_t StringEnd(std::string_view text, std::size_t start) {
    const char quote = text[start];
    for (std::size_t i = start + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == quote) {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

// The text a quoted JSON string stands for; nothing when it is no string.
std::optional<std::string> Unquoted(std::string_view quoted) {
    net::JsonValue value;
    if (!net::JsonParser::Parse(quoted, value).ok() || value.kind() != net::JsonKind::kString) return std::nullopt;
    return value.text();
}

// Where the string values of the top-level "id" members are, as
// [begin, end) spans of the text, quotes included. The text is only walked
// here; whether it is valid JSON is for the caller to check.
std::vector<std::pair<std::size_t, std::size_t>> IdSpans(std::string_view text) {
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    int depth = 0;
    bool top_is_object = false;
    bool expect_key = false;
    bool key_is_id = false;
    bool value_is_id = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsBlank(c)) continue;
        if (IsQuote(c)) {
            const std::size_t end = StringEnd(text, i);
            if (end == std::string_view::npos) break;
            if (depth == 1 && top_is_object && expect_key) {
                key_is_id = Unquoted(text.substr(i, end - i)) == std::optional<std::string>("id");
                expect_key = false;
            } else if (depth == 1 && value_is_id) {
                spans.emplace_back(i, end);
            }
            value_is_id = false;
            i = end - 1;
            continue;
        }
        // A value of "id" that is not a string is left as it is.
        const bool after_colon = c == ':' && depth == 1;
        value_is_id = after_colon && key_is_id;
        if (after_colon) key_is_id = false;
        if (c == '{' || c == '[') {
            if (depth == 0) top_is_object = c == '{';
            ++depth;
            if (depth == 1) expect_key = top_is_object;
        } else if (c == '}' || c == ']') {
            --depth;
        } else if (c == ',' && depth == 1) {
            expect_key = top_is_object;
        }
    }
    return spans;
}

}  // namespace

Result<std::string> WithVersionId(std::string_view json, const std::string& id) {
    std::string text(json);
    const auto spans = IdSpans(text);
    for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
        std::string quoted;
        net::JsonWriter::AppendString(quoted, id);
        text.replace(span->first, span->second - span->first, quoted);
    }
    // The walk above trusts the text's shape; the parse decides whether the
    // result is the version JSON it should be.
    net::JsonDocument document;
    if (spans.empty() || !document.Parse(text) || document.TypeOf("") != static_cast<int>(net::JsonKind::kObject) ||
        document.TypeOf("id") != static_cast<int>(net::JsonKind::kString) || document.GetText("id") != id) {
        return Error{std::string(kErrorNotVersionJson)};
    }
    return text;
}

Status StoreVersionJson(const std::string& game_folder, std::string_view json, const std::string& id) {
    if (!IsSafeVersionId(id)) return Error{std::string(kErrorUnsafeId) + id};
    net::JsonDocument document;
    if (!document.Parse(json) || document.TypeOf("id") != static_cast<int>(net::JsonKind::kString)) {
        return Error{std::string(kErrorNotVersionJson)};
    }
    std::string renamed;
    if (document.GetText("id") != id) {
        Result<std::string> changed = WithVersionId(json, id);
        if (!changed) return Error{changed.error()};
        renamed = std::move(changed).value();
        json = renamed;
    }
    const std::string folder = game_folder + "/versions/" + id;
    const std::string path = folder + "/" + id + ".json";
    if (!platform::CreateFolders(folder)) return Error{std::string(kErrorWrite) + path};
    if (Status written = platform::WriteFileAtomically(path, json); !written) {
        return Error{std::string(kErrorWrite) + written.error()};
    }
    return {};
}

}  // namespace kestrel::install
