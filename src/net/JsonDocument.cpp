#include "net/JsonDocument.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "net/JsonPath.h"
#include "net/JsonWriter.h"

namespace kestrel::net {

namespace {

// A write may grow an array to this many elements, no more: a path such as
// "x[999999999]" must not make the launcher allocate gigabytes.
constexpr std::size_t kMaxWriteIndex = 100000;

constexpr std::int64_t kMaxInt = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMinInt = std::numeric_limits<std::int64_t>::min();

// The value of an optional sign and the digits after it; 0 without digits.
std::int64_t LeadingInteger(std::string_view text) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    std::int64_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        const int digit = text[pos] - '0';
        if (value > (kMaxInt - digit) / 10) return negative ? kMinInt : kMaxInt;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

std::int64_t NumberValue(const std::string& lexeme) {
    const bool integral = lexeme.find_first_of(".eE") == std::string::npos;
    if (integral) return LeadingInteger(lexeme);
    double real = 0;
    const auto [end, error] = std::from_chars(lexeme.data(), lexeme.data() + lexeme.size(), real);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on overflow; the sign decides.
        return lexeme.front() == '-' ? kMinInt : kMaxInt;
    }
    if (error != std::errc()) return 0;
    real = std::trunc(real);
    if (real >= 9223372036854775807.0) return kMaxInt;
    if (real <= -9223372036854775808.0) return kMinInt;
    return static_cast<std::int64_t>(real);
}

}  // namespace

JsonDocument::JsonDocument() : root_(JsonValue::Object()) {}

bool JsonDocument::Parse(std::string_view text) {
    JsonValue value;
    last_parse_ = JsonParser::Parse(text, value);
    if (last_parse_.ok() && value.kind() == JsonKind::kNull) {
        last_parse_ = {kJsonBadToken, 0};
    }
    if (!last_parse_.ok()) {
        root_ = JsonValue::Object();
        return false;
    }
    root_ = std::move(value);
    return true;
}

void JsonDocument::Reset() { root_ = JsonValue::Object(); }

void JsonDocument::Clear() { root_.reset(); }

std::string JsonDocument::ToText() const { return root_ ? JsonWriter::Write(*root_) : std::string(); }

const JsonValue* JsonDocument::Find(std::string_view path) const {
    if (!root_) return nullptr;
    const JsonValue* current = &*root_;
    JsonPathCursor cursor(path);
    JsonPathSegment segment;
    while (cursor.Next(segment)) {
        if (segment.is_index) {
            if ((!current->is_array() && !current->is_object()) || segment.index >= current->size()) return nullptr;
            current = &current->at(segment.index);
        } else {
            if (!current->is_object()) return nullptr;
            current = current->Find(segment.name);
            if (!current) return nullptr;
        }
    }
    if (cursor.malformed()) return nullptr;
    return current->kind() == JsonKind::kNull ? nullptr : current;
}

std::string JsonDocument::GetText(std::string_view path) const {
    const JsonValue* value = Find(path);
    if (!value) return {};
    switch (value->kind()) {
        case JsonKind::kString:
        case JsonKind::kNumber:
            return value->text();
        case JsonKind::kBoolean:
            return value->boolean() ? "true" : "false";
        default:
            return {};
    }
}

std::string JsonDocument::GetJson(std::string_view path) const {
    const JsonValue* value = Find(path);
    return value ? JsonWriter::Write(*value) : std::string();
}

std::int64_t JsonDocument::GetInteger(std::string_view path) const {
    const JsonValue* value = Find(path);
    if (!value) return 0;
    switch (value->kind()) {
        case JsonKind::kNumber:
            return NumberValue(value->text());
        case JsonKind::kBoolean:
            return value->boolean() ? 1 : 0;
        case JsonKind::kString:
            return LeadingInteger(value->text());
        default:
            return 0;
    }
}

std::size_t JsonDocument::Count(std::string_view path) const {
    const JsonValue* value = Find(path);
    return value && (value->is_array() || value->is_object()) ? value->size() : 0;
}

bool JsonDocument::Exists(std::string_view path) const { return Find(path) != nullptr; }

int JsonDocument::TypeOf(std::string_view path) const {
    const JsonValue* value = Find(path);
    return value ? static_cast<int>(value->kind()) : 0;
}

std::vector<std::string> JsonDocument::Keys(std::string_view path) const {
    std::vector<std::string> keys;
    const JsonValue* value = Find(path);
    if (!value) return keys;
    if (value->is_object()) {
        keys.reserve(value->size());
        for (std::size_t i = 0; i < value->size(); ++i) keys.push_back(value->name(i));
    } else if (value->is_array()) {
        keys.reserve(value->size());
        for (std::size_t i = 0; i < value->size(); ++i) keys.push_back(std::to_string(i));
    }
    return keys;
}

JsonDocument JsonDocument::GetDocument(std::string_view path) const {
    JsonDocument copy;
    if (const JsonValue* value = Find(path)) {
        copy.root_ = *value;
    } else {
        copy.root_.reset();
    }
    return copy;
}

// Resolving a path for writing creates what is missing: a name makes the
// current value an object (discarding what it held) and appends the member as
// null when it is missing; an index makes it an array and appends nulls up to
// the index. The final value is then overwritten. The whole path is checked
// first, so a malformed path changes nothing.
bool JsonDocument::Store(std::string_view path, JsonValue value) {
    if (!root_) return false;
    {
        JsonPathCursor check(path);
        JsonPathSegment segment;
        while (check.Next(segment)) {
            if (segment.is_index && segment.index >= kMaxWriteIndex) return false;
        }
        if (check.malformed()) return false;
    }
    JsonValue* current = &*root_;
    JsonPathCursor cursor(path);
    JsonPathSegment segment;
    while (cursor.Next(segment)) {
        if (segment.is_index) {
            if (!current->is_array()) *current = JsonValue::Array();
            if (current->size() <= segment.index) current->Resize(segment.index + 1);
            current = &current->at(segment.index);
        } else {
            if (!current->is_object()) *current = JsonValue::Object();
            current = &current->FindOrAppend(segment.name);
        }
    }
    *current = std::move(value);
    return true;
}

bool JsonDocument::SetText(std::string_view path, std::string_view text) {
    return Store(path, JsonValue::String(std::string(text)));
}

bool JsonDocument::SetJson(std::string_view path, std::string_view json) {
    JsonValue value = JsonValue::Object();
    if (!json.empty() && !JsonParser::Parse(json, value).ok()) return false;
    return Store(path, std::move(value));
}

}  // namespace kestrel::net
