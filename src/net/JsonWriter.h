#pragma once

// JsonWriter writes a JsonValue as compact JSON: no whitespace, members in
// their order, numbers as their lexemes, and in strings and names the escapes
// \" \\ \/ \b \t \n \r \f plus \u00xx (lower-case hex) for the other control
// characters; every other character, non-ASCII included, as it is.
//
// Threading: pure functions.

#include <string>

#include "net/JsonValue.h"

namespace kestrel::net {

class JsonWriter {
public:
    static std::string Write(const JsonValue& value);
    static void Append(std::string& out, const JsonValue& value);
    static void AppendString(std::string& out, std::string_view text);
};

}  // namespace kestrel::net
