#include "ParseFailure.h"

namespace kestrel::cli {

std::string_view ParseCodeWords(int code) {
    switch (code) {
        case net::kJsonOk: return "";
        case net::kJsonEmpty: return "the text is empty";
        case net::kJsonTooLarge: return "the document is too large or nested too deeply";
        case net::kJsonOutOfPlace: return "a bracket, brace, colon or comma is out of place";
        case net::kJsonUnterminated: return "the text ends inside an object, array or string";
        case net::kJsonBadToken: return "an invalid word, number, escape or UTF-8 sequence";
        default: return "unknown parse failure";
    }
}

std::string ParseFailureText(const net::JsonParseResult& result, std::string_view text) {
    // Lines and columns count from 1; a column counts characters, not the
    // bytes of their UTF-8 sequences.
    std::size_t line = 1;
    std::size_t column = 1;
    const std::size_t end = result.position < text.size() ? result.position : text.size();
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "parse failed: " + std::to_string(result.code) + " at " + std::to_string(result.position) + " (line " +
           std::to_string(line) + ", column " + std::to_string(column) + "): " +
           std::string(ParseCodeWords(result.code));
}

}  // namespace kestrel::cli
