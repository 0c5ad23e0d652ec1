#pragma once

// The legacy game arguments of a chain are the `minecraftArguments` texts of
// its manifests joined together, so a Forge child that repeats every vanilla
// option of its parent would pass each option twice. RemoveRepeatedOptions
// keeps the first occurrence of every "--key value" option and cuts out the
// later ones, so the child's values win.
//
// An option starts at any "--"; its key runs to the next blank; its value
// starts after that blank and runs to the next "--" (or the end), or, when it
// starts with a double quote, to the next double quote and one character
// more. A later option with a key already seen is cut out whole (the "--",
// the key, the blank and the value). Options that may legitimately repeat,
// such as a second tweak class, are cut as well; that is how these chains
// have always been started.
//
// Threading: a pure function.

#include <string>
#include <string_view>

namespace kestrel::launch {

std::string RemoveRepeatedOptions(std::string_view text);

}  // namespace kestrel::launch
