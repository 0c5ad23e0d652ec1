#pragma once

// MavenMetadata reads the versions a Maven repository lists for one artifact
// in its maven-metadata.xml (<metadata><versioning><versions><version>...).
// The file comes from the network, so it is read by a small strict reader of
// its own: well-formed XML only (matched tags, quoted attributes, the five
// named entities and character references, comments, CDATA, processing
// instructions), no document type declarations (they are how entity bombs
// come in), and a nesting depth of at most 32. Anything else is an error
// naming the source, never a short list taken for the whole one.
//
// The versions come in the file's order, each once, blanks cut off; the
// order is no order at all (see ForgeVersions.h for sorting).
//
// Threading: pure functions.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace kestrel::install {

Result<std::vector<std::string>> ParseMavenMetadata(std::string_view xml, const std::string& source);

}  // namespace kestrel::install
