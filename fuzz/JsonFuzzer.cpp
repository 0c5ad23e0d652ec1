// libFuzzer target for the JSON document: any input may be handed to Parse.
// Whatever parses must write back (ToText) text that parses again to the same
// text, and path reads and writes on it must neither crash nor hang.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "net/JsonDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    kestrel::net::JsonDocument document;
    if (!document.Parse(input)) return 0;
    const std::string text = document.ToText();
    kestrel::net::JsonDocument again;
    if (!again.Parse(text) || again.ToText() != text) std::abort();
    // Use the input's own member names as paths, and the input as a path.
    for (const std::string& key : document.Keys("")) {
        (void)document.GetText(key);
        (void)document.GetInteger(key);
        (void)document.Count(key);
    }
    (void)document.GetJson(input);
    document.SetText(input.substr(0, 64), input);
    return 0;
}
