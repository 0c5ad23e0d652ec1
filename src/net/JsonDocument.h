#pragma once

// JsonDocument holds one JSON value and answers questions about it by path
// text ("DisplayClaims.xui[0].uhs", "libraries[3].natives.linux",
// "objects['minecraft/sounds.json'].hash"; see JsonPath.h). Every JSON text the
// launcher reads or sends goes through it: manifests, service answers, skin
// profiles, server status, request bodies.
//
// Nothing here fails loudly: a parse that fails returns false (and leaves an
// empty object), reads of what is missing or null give "" / 0 / false / an
// empty list, writes that cannot be done return false. Numbers keep the exact
// text they were written with, objects keep their member order.
//
// Threading: a document is used by one thread at a time; documents share
// nothing, so each worker may use its own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/JsonParser.h"
#include "net/JsonValue.h"

namespace kestrel::net {

class JsonDocument {
public:
    // A new document's root is an empty object.
    JsonDocument();

    // Replaces the document with the value the text denotes. Fails (and
    // leaves an empty object) on empty or malformed text, on a text that ends
    // inside a value, and on a text that denotes null.
    bool Parse(std::string_view text);
    // The failure code (kJsonEmpty … kJsonBadToken) and byte position of the
    // last Parse; code 0 after a successful one.
    const JsonParseResult& last_parse() const { return last_parse_; }

    // The root becomes a new empty object.
    void Reset();
    // The document loses its root: every read answers as missing and every
    // write fails until the next Parse or Reset.
    void Clear();

    // The whole document as compact JSON ("" when it has no root).
    std::string ToText() const;

    // A string's text, a number's lexeme, "true"/"false"; "" otherwise.
    std::string GetText(std::string_view path) const;
    // The value as compact JSON; "" when missing or null.
    std::string GetJson(std::string_view path) const;
    // Integer value; reals truncate toward zero, booleans give 1/0, strings
    // the value of their leading sign and digits; 0 otherwise. Values beyond
    // 64 bits saturate.
    std::int64_t GetInteger(std::string_view path) const;
    // Elements of an array, members of an object; 0 otherwise.
    std::size_t Count(std::string_view path) const;
    // True when the path names a value that is not null.
    bool Exists(std::string_view path) const;
    // The kind code of the value (JsonKind); 0 for missing and null.
    int TypeOf(std::string_view path) const;
    // Member names in order, or "0", "1", … for an array; empty otherwise.
    std::vector<std::string> Keys(std::string_view path) const;
    // A document holding a deep copy of the value; a document without root
    // when the value is missing or null.
    JsonDocument GetDocument(std::string_view path) const;

    // Stores the text verbatim as a string at the path, creating what the path
    // needs (see Resolve for writing in the .cpp).
    bool SetText(std::string_view path, std::string_view text);
    // Stores the value the JSON text denotes ("" stands for {}); false, with
    // nothing changed, when the text is not JSON.
    bool SetJson(std::string_view path, std::string_view json);

    // The value at a path, for code that walks a document itself; nullptr
    // when missing. The pointer is valid until the document changes.
    const JsonValue* Find(std::string_view path) const;

private:
    bool Store(std::string_view path, JsonValue value);

    std::optional<JsonValue> root_;
    JsonParseResult last_parse_;
};

}  // namespace kestrel::net
