#pragma once

// Reading a {sha1, size, url} object of the runtime index or a component
// manifest. The values come from the network: the SHA-1 must be 40
// hexadecimal digits (or absent), the size a plain whole number, the URL an
// http or https address without blanks or control characters.
//
// Threading: a free function; any thread.

#include <optional>

#include "net/JsonValue.h"
#include "runtimes/RuntimeIndex.h"

namespace kestrel::runtimes {

// The file an object names; nothing when it is missing or any of its values
// is unusable.
std::optional<RemoteFile> RemoteFileOf(const net::JsonValue* object);

}  // namespace kestrel::runtimes
